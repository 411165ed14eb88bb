#!/usr/bin/env python3
"""Writes the package managers' manifests for one release:

  winget: OUT/manifests/c/CALVION/Horvane/<version>/ with the version, the
          default locale (en-US) and the installer manifest (the MSI, and the
          zip as a portable program);
  Scoop:  OUT/horvane.json for the zip.

  write-manifests.py OUT VERSION DOWNLOAD_BASE ZIP MSI

The download URLs are DOWNLOAD_BASE/<file name>. The MSI's ProductCode and
UpgradeCode are read from its Property table (msiinfo), the hashes from the
files themselves. Needs PyYAML.
"""
import hashlib
import json
import os
import subprocess
import sys

import yaml

PACKAGE = "CALVION.Horvane"
SCHEMA = "1.6.0"
PUBLISHER = "CALVION"
HOME = "http://www.calvion.com/"
DESCRIPTION = "Sets the computer clock from a network time server."
LICENSE = "Proprietary"


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest().upper()


def msi_properties(msi):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                           capture_output=True, text=True).stdout
    # Three header lines: names, types, the table's name and key.
    return dict(line.split("\t", 1) for line in table.splitlines()[3:] if "\t" in line)


def write_yaml(path, kind, fields):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{kind}.{SCHEMA}.schema.json\n")
        yaml.safe_dump(fields, f, sort_keys=False, allow_unicode=True, width=1000)


def winget(out, version, base, zip_path, msi_path):
    folder = os.path.join(out, "manifests", "c", *PACKAGE.split("."), version)
    os.makedirs(folder, exist_ok=True)
    ident = {"PackageIdentifier": PACKAGE, "PackageVersion": version}
    write_yaml(os.path.join(folder, f"{PACKAGE}.yaml"), "version",
               {**ident, "DefaultLocale": "en-US", "ManifestType": "version", "ManifestVersion": SCHEMA})
    write_yaml(os.path.join(folder, f"{PACKAGE}.locale.en-US.yaml"), "defaultLocale", {
        **ident, "PackageLocale": "en-US", "Publisher": PUBLISHER, "PublisherUrl": HOME,
        "PackageName": "Horvane", "PackageUrl": HOME, "License": LICENSE,
        "ShortDescription": DESCRIPTION, "Moniker": "horvane",
        "Tags": ["clock", "ntp", "sntp", "time", "time-sync"],
        "ManifestType": "defaultLocale", "ManifestVersion": SCHEMA})
    props = msi_properties(msi_path)
    product, upgrade = props["ProductCode"].upper(), props["UpgradeCode"].upper()
    common = {"Architecture": "x64", "UpgradeBehavior": "install",
              "ElevationRequirement": "elevationRequired"}
    msi = {**common, "InstallerType": "msi", "Scope": "machine",
           "InstallerUrl": f"{base}/{os.path.basename(msi_path)}", "InstallerSha256": sha256(msi_path),
           "InstallerSwitches": {"Silent": "/quiet /norestart", "SilentWithProgress": "/passive /norestart"},
           "ProductCode": product,
           "AppsAndFeaturesEntries": [{"DisplayName": "Horvane", "Publisher": PUBLISHER,
                                       "DisplayVersion": version, "ProductCode": product,
                                       "UpgradeCode": upgrade, "InstallerType": "msi"}]}
    portable = {**common, "InstallerType": "zip", "NestedInstallerType": "portable",
                "NestedInstallerFiles": [{"RelativeFilePath": "Horvane\\horvane.exe",
                                          "PortableCommandAlias": "horvane"}],
                "InstallerUrl": f"{base}/{os.path.basename(zip_path)}", "InstallerSha256": sha256(zip_path)}
    write_yaml(os.path.join(folder, f"{PACKAGE}.installer.yaml"), "installer", {
        **ident, "Platform": ["Windows.Desktop"], "MinimumOSVersion": "10.0.0.0",
        "Installers": [msi, portable], "ManifestType": "installer", "ManifestVersion": SCHEMA})


def scoop(out, version, base, zip_path):
    name = os.path.basename(zip_path).replace(version, "$version")
    manifest = {
        "version": version, "description": DESCRIPTION, "homepage": HOME, "license": LICENSE,
        "url": f"{base}/{os.path.basename(zip_path)}", "hash": sha256(zip_path).lower(),
        "extract_dir": "Horvane", "bin": "horvane.exe", "shortcuts": [["horvane.exe", "Horvane"]],
        # A persisted name that does not exist yet would become a folder.
        "pre_install": 'if (!(Test-Path "$persist_dir\\settings.ini")) { New-Item "$dir\\settings.ini" -ItemType File | Out-Null }',
        "persist": "settings.ini",
        "checkver": {"url": f"{base}/", "regex": name.replace(".", "\\.").replace("$version", "([\\d.]+)")},
        "autoupdate": {"url": f"{base}/{name}"},
    }
    with open(os.path.join(out, "horvane.json"), "w", encoding="utf-8", newline="\n") as f:
        json.dump(manifest, f, indent=4)
        f.write("\n")


def main(argv):
    if len(argv) != 6:
        sys.stderr.write(__doc__)
        return 2
    out, version, base, zip_path, msi_path = argv[1:]
    base = base.rstrip("/")
    try:
        winget(out, version, base, zip_path, msi_path)
        scoop(out, version, base, zip_path)
    except (OSError, KeyError, subprocess.CalledProcessError) as e:
        sys.stderr.write(f"write-manifests: {e}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
