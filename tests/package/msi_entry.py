#!/usr/bin/env python3
"""The installer's entry in Apps & features: the Property table names the
publisher, the program's version, an icon that the package carries and the
maker's help, about and update pages, and forbids Modify; the upgrade is a
major one that removes any older version of the same upgrade code.

  msi_entry.py MSI EXE
"""
import os
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def table(msi, name):
    """The rows of a table as lists of columns; the first three lines of an
    export are the column names, their types and the table's keys."""
    # A table with a binary column leaves its streams in the current folder.
    with tempfile.TemporaryDirectory() as scratch:
        text = subprocess.run(["msiinfo", "export", os.path.abspath(msi), name], check=True,
                              capture_output=True, text=True, cwd=scratch).stdout
    return [line.split("\t") for line in text.splitlines()[3:] if line]


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    msi, exe = argv[1], argv[2]
    version = subprocess.run([sys.executable, os.path.join(REPO, "scripts", "pe-info.py"), "version", exe],
                             check=True, capture_output=True, text=True).stdout.strip()
    props = {row[0]: row[1] for row in table(msi, "Property")}
    icons = {row[0] for row in table(msi, "Icon")}
    upgrades = table(msi, "Upgrade")
    sequence = {row[0] for row in table(msi, "InstallExecuteSequence")}
    web = lambda value: value.startswith(("https://", "http://")) and len(value) > len("https://")
    upgrade_code = props.get("UpgradeCode", "")
    cases = [
        ("Manufacturer is the publisher", props.get("Manufacturer") == "CALVION"),
        (f"ProductVersion is the program's {version}", props.get("ProductVersion") == version),
        ("ARPPRODUCTICON names an icon of the Icon table", props.get("ARPPRODUCTICON") in icons),
        ("ARPHELPLINK is a web page", web(props.get("ARPHELPLINK", ""))),
        ("ARPURLINFOABOUT is a web page", web(props.get("ARPURLINFOABOUT", ""))),
        ("ARPURLUPDATEINFO is a web page", web(props.get("ARPURLUPDATEINFO", ""))),
        ("ARPNOMODIFY is set", props.get("ARPNOMODIFY") == "1"),
        ("ProductCode and UpgradeCode are upper-case GUIDs",
         all(c == c.upper() and len(c) == 38 for c in (props.get("ProductCode", ""), upgrade_code))),
        # UpgradeCode, VersionMin, VersionMax, Language, Attributes, Remove, ActionProperty
        ("older versions are found to be removed",
         any(r[0] == upgrade_code and r[1] == "" and r[2] == version and r[6] == "WIX_UPGRADE_DETECTED"
             for r in upgrades)),
        ("RemoveExistingProducts runs", "RemoveExistingProducts" in sequence),
    ]
    failed = [name for name, ok in cases if not ok]
    for name in failed:
        print(f"FAIL: {name}")
    print("PASS" if not failed else f"{len(failed)} of {len(cases)} failed: {props}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
