#!/usr/bin/env python3
"""Validates the built winget manifests against the official schemas and
checks their values against the built media.

    check_manifests.py MANIFEST_DIR SCHEMA_DIR MEDIA_DIR INSTALLER WRITER X86_INSTALLER

X86_INSTALLER, the 32-bit build's download, needs entries of its own once it exists.
"""

import glob
import hashlib
import os
import struct
import subprocess
import sys
import tempfile

import jsonschema
import yaml


def file_version(path):
    """The file version of a Windows program, from its fixed version record."""
    data = open(path, "rb").read()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def sha_of(path):
    return hashlib.sha256(open(path, "rb").read()).hexdigest().upper()


def main(manifest_dir, schema_dir, media_dir, installer_file, writer, x86_installer):
    problems = []
    manifests = {}
    version = file_version(os.path.join(media_dir, "Scrivo.ex_"))
    # Where the community repository keeps them.
    manifest_dir = os.path.join(manifest_dir, "manifests", "b", "Brellic", "Pagewright", version)
    for path in glob.glob(os.path.join(manifest_dir, "*.yaml")):
        doc = yaml.safe_load(open(path))
        kind = doc.get("ManifestType")
        schema = yaml.safe_load(open(os.path.join(schema_dir, "manifest.%s.1.10.0.json" % kind)))
        for error in jsonschema.Draft7Validator(schema).iter_errors(doc):
            problems.append("%s: %s" % (os.path.basename(path), error.message))
        manifests[kind] = doc
    if sorted(manifests) != ["defaultLocale", "installer", "version"]:
        problems.append("manifest set is %s" % sorted(manifests))
        print("\n".join(problems))
        return 1

    installer = manifests["installer"]
    shas = {"x64": sha_of(installer_file)}
    if os.path.exists(x86_installer):
        shas["x86"] = sha_of(x86_installer)
    found = sorted({(i["Architecture"], i["Scope"]) for i in installer["Installers"]})
    wanted = sorted((arch, scope) for arch in shas for scope in ("machine", "user"))
    if found != wanted:
        problems.append("installers %s, wanted %s" % (found, wanted))
    for kind, doc in manifests.items():
        if doc["PackageVersion"] != version:
            problems.append("%s: version %s, the media's editor is %s" % (kind, doc["PackageVersion"], version))
    # Correlated with the installation by the Uninstall entry's key name.
    entry = installer["AppsAndFeaturesEntries"][0]
    for where, code in (("installer", installer.get("ProductCode")), ("entry", entry.get("ProductCode"))):
        if code != "Brellic Pagewright":
            problems.append("%s ProductCode %r is not the Uninstall entry's name" % (where, code))
    if entry.get("DisplayVersion", version) != version:
        problems.append("DisplayVersion %s is not the editor's %s" % (entry["DisplayVersion"], version))
    elevation = {"machine": "elevationRequired", "user": None}
    for item in installer["Installers"]:
        if item["InstallerSha256"] != shas.get(item["Architecture"]):
            problems.append("the %s InstallerSha256 is not its download's" % item["Architecture"])
        if item.get("ElevationRequirement") != elevation.get(item.get("Scope")):
            problems.append("%s scope's elevation is %s" % (item.get("Scope"), item.get("ElevationRequirement")))
    switches = installer["InstallerSwitches"]
    if (switches.get("Silent") != "/S" or switches.get("SilentWithProgress") != "/passive"
            or switches.get("InstallLocation") != '/DIR="<INSTALLPATH>"'):
        problems.append("switches %s" % switches)
    locale = manifests["defaultLocale"]
    missing = [k for k in ("PublisherUrl", "LicenseUrl", "Copyright", "ShortDescription", "Description", "Tags",
                           "Moniker", "ReleaseNotesUrl") if not locale.get(k)]
    if missing:
        problems.append("default locale lacks %s" % missing)
    # A release with the build's placeholder address is refused.
    with tempfile.TemporaryDirectory() as out:
        placeholder = "https://downloads.brellic-software.example/x.exe"
        refused = subprocess.run([sys.executable, writer, out, version, installer_file, placeholder,
                                  "https://a.example", "https://a.example/help"], capture_output=True)
        if refused.returncode == 0:
            problems.append("manifests with the placeholder address were written for a release")
    codes = {c["InstallerReturnCode"] for c in installer["ExpectedReturnCodes"]}
    if codes != {1602, 1618, 1639}:
        problems.append("return codes %s" % sorted(codes))
    print("\n".join(problems) if problems else "OK")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
