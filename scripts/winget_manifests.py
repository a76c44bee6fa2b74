#!/usr/bin/env python3
"""Writes the winget manifest set (version, installer, default locale) for one
release of the editor, laid out as the community repository keeps them:
OUT_DIR/manifests/b/Brellic/Pagewright/<version>/.

    winget_manifests.py OUT_DIR VERSION SETUP_EXE INSTALLER_URL PRODUCT_URL HELP_URL
                        [--test-build] [--x86=X86_SETUP_EXE=X86_INSTALLER_URL]

The installer's SHA-256 is taken from SETUP_EXE, the download the URL serves.
A release refuses the placeholder address the build starts with; a test build
(--test-build) may carry it.
"""

import hashlib
import os
import sys

IDENTIFIER = "Brellic.Pagewright"
MANIFEST_VERSION = "1.10.0"
SCHEMA = "https://aka.ms/winget-manifest.{kind}.1.10.0.schema.json"
# The name of the Uninstall entry setup writes: winget correlates by it.
PRODUCT_CODE = "Brellic Pagewright"
PLACEHOLDER_HOST = "downloads.brellic-software.example"


# The programs run with the rights they are given and elevate themselves only
# for an all-users run. A machine installation asks winget to elevate first, so
# that a standard user who knows an administrator's password can install too; a
# user installation states no requirement: it never prompts, and elevated it
# installs for the administrator's own account.


def installer_entries(architecture, url, setup_exe):
    with open(setup_exe, "rb") as f:
        sha = hashlib.sha256(f.read()).hexdigest().upper()
    entries = ""
    for scope, elevation, switch in (("machine", "elevationRequired", "/ALLUSERS"),
                                     ("user", None, "/CURRENTUSER")):
        entries += """  - Architecture: %s
    Scope: %s
%s    InstallerUrl: %s
    InstallerSha256: %s
    InstallerSwitches:
      Custom: %s
""" % (architecture, scope, "    ElevationRequirement: %s\n" % elevation if elevation else "", url, sha, switch)
    return entries


def header(kind):
    return "# yaml-language-server: $schema=%s\n" % SCHEMA.format(kind=kind)


def main(out_dir, version, setup_exe, url, product_url, help_url, *flags):
    test_build = "--test-build" in flags
    # The x86 download, where the 32-bit build has made it: "--x86=FILE=URL".
    x86 = [f[len("--x86="):].split("=", 1) for f in flags if f.startswith("--x86=")]
    x86 = [(path, address) for path, address in x86 if os.path.exists(path)]
    for address in [url] + [address for _, address in x86]:
        if PLACEHOLDER_HOST in address and not test_build:
            sys.exit("The installer address %s is the build's placeholder: set DOWNLOAD_URL to where the "
                     "download is published, or build the manifests as a test build." % address)
    installers = installer_entries("x64", url, setup_exe)
    for path, address in x86:
        installers += installer_entries("x86", address, path)
    out_dir = os.path.join(out_dir, "manifests", "b", "Brellic", "Pagewright", version)
    os.makedirs(out_dir, exist_ok=True)
    common = "PackageIdentifier: %s\nPackageVersion: %s\n" % (IDENTIFIER, version)
    files = {
        "version": common + "DefaultLocale: en-US\nManifestType: version\n",
        "installer": common + """InstallerType: exe
InstallModes:
  - interactive
  - silent
  - silentWithProgress
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /passive
  InstallLocation: /DIR="<INSTALLPATH>"
  Log: /LOG="<LOGPATH>"
ExpectedReturnCodes:
  - InstallerReturnCode: 1602
    ReturnResponse: cancelledByUser
  - InstallerReturnCode: 1618
    ReturnResponse: installInProgress
  - InstallerReturnCode: 1639
    ReturnResponse: invalidParameter
UpgradeBehavior: install
ProductCode: %(code)s
AppsAndFeaturesEntries:
  - DisplayName: Brellic Pagewright
    Publisher: Brellic Software
    ProductCode: %(code)s
Installers:
%(installers)sManifestType: installer
""" % {"installers": installers, "code": PRODUCT_CODE},
        "defaultLocale": common + """PackageLocale: en-US
Publisher: Brellic Software
PublisherUrl: %(product)s
PublisherSupportUrl: %(help)s
PackageName: Brellic Pagewright
PackageUrl: %(product)s
License: Proprietary
LicenseUrl: %(product)s/licence
Copyright: Copyright (C) Brellic Software
ShortDescription: The Brellic Pagewright document editor.
Description: Brellic Pagewright writes and lays out documents, with the Leafview reader beside it.
Moniker: pagewright
Tags:
  - document
  - editor
  - writing
ReleaseNotesUrl: %(product)s/releases/%(version)s
ManifestType: defaultLocale
""" % {"product": product_url.rstrip("/"), "help": help_url, "version": version},
    }
    names = {"version": "", "installer": ".installer", "defaultLocale": ".locale.en-US"}
    for kind, body in files.items():
        path = os.path.join(out_dir, IDENTIFIER + names[kind] + ".yaml")
        with open(path, "w", newline="\n") as f:
            f.write(header(kind) + body + "ManifestVersion: %s\n" % MANIFEST_VERSION)


if __name__ == "__main__":
    if len(sys.argv) < 7:
        sys.exit(__doc__)
    main(*sys.argv[1:])
