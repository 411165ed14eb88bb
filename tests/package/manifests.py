#!/usr/bin/env python3
"""The package managers' manifests that scripts/package wrote into DIST hold
every field their schemas require, name files whose hashes match the files
beside them, and say the version of the program's version block.

  manifests.py DIST EXE
"""
import hashlib
import json
import os
import subprocess
import sys
import zipfile

import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))

# Required by winget's 1.6.0 JSON schemas (manifest.version, .defaultLocale and
# .installer), and by the installer types used here: a zip of a portable
# program names the program inside it.
WINGET_REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"],
}
WINGET_INSTALLER_REQUIRED = ["Architecture", "InstallerType", "InstallerUrl", "InstallerSha256"]
WINGET_BY_TYPE = {
    "msi": ["Scope", "ProductCode", "AppsAndFeaturesEntries", "InstallerSwitches"],
    "zip": ["NestedInstallerType", "NestedInstallerFiles"],
}
# Scoop's "App Manifests" page: version is required; description, homepage
# and license are required of every new manifest; a download needs url and
# hash; checkver and autoupdate keep it current.
SCOOP_REQUIRED = ["version", "description", "homepage", "license", "url", "hash", "bin",
                  "checkver", "autoupdate"]

failures = []


def check(ok, message):
    if not ok:
        failures.append(message)


def missing(fields, required, where):
    for name in required:
        check(fields.get(name) not in (None, "", []), f"{where}: no {name}")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def beside(dist, url, where):
    """The file of DIST that url names, or None."""
    path = os.path.join(dist, url.rsplit("/", 1)[-1])
    check(os.path.isfile(path), f"{where}: {url} names no file beside the manifest")
    return path if os.path.isfile(path) else None


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                           capture_output=True, text=True).stdout
    values = dict(line.split("\t", 1) for line in table.splitlines()[3:] if "\t" in line)
    return values.get(name, "")


def check_winget(dist, version):
    folder = os.path.join(dist, "manifests", "c", "CALVION", "Horvane", version)
    check(os.path.isdir(folder), f"no winget folder {folder}")
    docs = {}
    for name in sorted(os.listdir(folder)) if os.path.isdir(folder) else []:
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            doc = yaml.safe_load(f)
        docs[doc.get("ManifestType")] = (name, doc)
    for kind, required in WINGET_REQUIRED.items():
        check(kind in docs, f"winget: no {kind} manifest")
        if kind not in docs:
            continue
        name, doc = docs[kind]
        missing(doc, required, name)
        check(doc.get("PackageVersion") == version, f"{name}: PackageVersion {doc.get('PackageVersion')}, "
              f"but the program is {version}")
        check(doc.get("PackageIdentifier") == "CALVION.Horvane", f"{name}: another PackageIdentifier")
        major, minor = (int(x) for x in str(doc.get("ManifestVersion", "0.0")).split(".")[:2])
        check((major, minor) >= (1, 6), f"{name}: schema {doc.get('ManifestVersion')} is older than 1.6")
    if "installer" not in docs:
        return
    name, doc = docs["installer"]
    bases = set()
    for i, inst in enumerate(doc.get("Installers") or []):
        where = f"{name}: installer {i + 1} ({inst.get('InstallerType')})"
        missing(inst, WINGET_INSTALLER_REQUIRED + WINGET_BY_TYPE.get(inst.get("InstallerType"), ["?"]), where)
        check(inst.get("ElevationRequirement") == "elevationRequired", f"{where}: may run without elevation")
        path = beside(dist, inst.get("InstallerUrl", ""), where)
        bases.add(inst.get("InstallerUrl", "").rsplit("/", 1)[0])
        if not path:
            continue
        check(inst.get("InstallerSha256", "").lower() == sha256(path), f"{where}: InstallerSha256 is not "
              f"the hash of {os.path.basename(path)}")
        if inst.get("InstallerType") == "msi":
            code = msi_property(path, "ProductCode")
            check(inst.get("ProductCode") == code, f"{where}: ProductCode is not the MSI's {code}")
            for entry in inst.get("AppsAndFeaturesEntries") or []:
                check(entry.get("UpgradeCode", "").upper() == msi_property(path, "UpgradeCode").upper(),
                      f"{where}: UpgradeCode is not the MSI's")
                check(entry.get("DisplayVersion") == version, f"{where}: DisplayVersion is not {version}")
        if inst.get("InstallerType") == "zip":
            with zipfile.ZipFile(path) as z:
                names = set(z.namelist())
            for nested in inst.get("NestedInstallerFiles") or []:
                rel = nested.get("RelativeFilePath", "").replace("\\", "/")
                check(rel in names, f"{where}: {rel} is not in the zip")
    check(len(bases) == 1, f"{name}: installers under more than one download base: {sorted(bases)}")


def check_scoop(dist, version):
    path = os.path.join(dist, "horvane.json")
    check(os.path.isfile(path), "no Scoop manifest horvane.json")
    if not os.path.isfile(path):
        return
    with open(path, encoding="utf-8") as f:
        doc = json.load(f)
    missing(doc, SCOOP_REQUIRED, "horvane.json")
    check(doc.get("version") == version, f"horvane.json: version {doc.get('version')}, but the program is {version}")
    zip_path = beside(dist, doc.get("url", ""), "horvane.json")
    if zip_path:
        check(doc.get("hash", "").lower() == sha256(zip_path), "horvane.json: hash is not the zip's")
        with zipfile.ZipFile(zip_path) as z:
            names = set(z.namelist())
        inside = doc.get("extract_dir", "")
        for target in [doc.get("bin", "")] + [s[0] for s in doc.get("shortcuts", [])]:
            check(f"{inside}/{target}".lstrip("/") in names, f"horvane.json: {target} is not in the zip")
    persist = doc.get("persist", [])
    check("settings.ini" in ([persist] if isinstance(persist, str) else persist),
          "horvane.json: settings.ini is not persisted")
    autoupdate = doc.get("autoupdate", {}).get("url", "")
    check(autoupdate.replace("$version", version) == doc.get("url"),
          "horvane.json: autoupdate does not name this version's url for $version")
    check(doc.get("checkver", {}).get("url", "").rstrip("/") == doc.get("url", "").rsplit("/", 1)[0],
          "horvane.json: checkver does not read the download base")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    dist, exe = argv[1], argv[2]
    version = subprocess.run([sys.executable, os.path.join(REPO, "scripts", "pe-info.py"), "version", exe],
                             check=True, capture_output=True, text=True).stdout.strip()
    check_winget(dist, version)
    check_scoop(dist, version)
    for message in failures:
        print(f"FAIL: {message}")
    print("PASS" if not failures else f"{len(failures)} faults")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
