#!/usr/bin/env python3
"""Writes the winget manifest set (version, installer, default locale) for one
release of the editor.

    winget_manifests.py OUT_DIR VERSION SETUP_EXE INSTALLER_URL

The installer's SHA-256 is taken from SETUP_EXE, the download the URL serves.
"""

import hashlib
import os
import sys

IDENTIFIER = "Brellic.Pagewright"
MANIFEST_VERSION = "1.10.0"
SCHEMA = "https://aka.ms/winget-manifest.{kind}.1.10.0.schema.json"


def header(kind):
    return "# yaml-language-server: $schema=%s\n" % SCHEMA.format(kind=kind)


def main(out_dir, version, setup_exe, url):
    with open(setup_exe, "rb") as f:
        sha = hashlib.sha256(f.read()).hexdigest().upper()
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
  InstallLocation: /D=<INSTALLPATH>
  Log: /LOG="<LOGPATH>"
ExpectedReturnCodes:
  - InstallerReturnCode: 1602
    ReturnResponse: cancelledByUser
  - InstallerReturnCode: 1618
    ReturnResponse: installInProgress
  - InstallerReturnCode: 1639
    ReturnResponse: invalidParameter
UpgradeBehavior: install
AppsAndFeaturesEntries:
  - DisplayName: Brellic Pagewright
    Publisher: Brellic Software
    DisplayVersion: %(version)s
Installers:
  - Architecture: x64
    Scope: machine
    InstallerUrl: %(url)s
    InstallerSha256: %(sha)s
    InstallerSwitches:
      Custom: /ALLUSERS
  - Architecture: x64
    Scope: user
    InstallerUrl: %(url)s
    InstallerSha256: %(sha)s
    InstallerSwitches:
      Custom: /CURRENTUSER
ManifestType: installer
""" % {"version": version, "url": url, "sha": sha},
        "defaultLocale": common + """PackageLocale: en-US
Publisher: Brellic Software
PackageName: Brellic Pagewright
License: Proprietary
ShortDescription: The Brellic Pagewright document editor.
ManifestType: defaultLocale
""",
    }
    names = {"version": "", "installer": ".installer", "defaultLocale": ".locale.en-US"}
    for kind, body in files.items():
        path = os.path.join(out_dir, IDENTIFIER + names[kind] + ".yaml")
        with open(path, "w", newline="\n") as f:
            f.write(header(kind) + body + "ManifestVersion: %s\n" % MANIFEST_VERSION)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
