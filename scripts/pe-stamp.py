#!/usr/bin/env python3
"""Gives a Windows program file the time stamp of its sources and a CheckSum
that matches its bytes, so two builds of one commit are the same file. Runs
last on the linked program: the linker's stamp is the wall clock, and a later
change to the headers leaves the linker's CheckSum stale.

  pe-stamp.py EXE BUILD_DATE_HEADER

The stamp is the build date that cmake/build_date.cmake wrote into the header
(midnight UTC of the last commit's day, or SOURCE_DATE_EPOCH's): the program
is relinked whenever that date moves. Standard library only.
"""
import re
import struct
import sys

from pe_file import checksum, checksum_offset, headers


def build_date(header_text):
    found = re.search(r"^#define HORVANE_BUILD_DAYS_SINCE_1970 (\d+)$", header_text, re.M)
    if not found:
        raise ValueError("no HORVANE_BUILD_DAYS_SINCE_1970 in the header")
    return int(found.group(1)) * 86400


def stamp(data, seconds):
    found = headers(data)
    struct.pack_into("<I", data, found.pe + 8, seconds)
    struct.pack_into("<I", data, checksum_offset(found), checksum(data))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    try:
        with open(argv[2], encoding="utf-8") as f:
            seconds = build_date(f.read())
        with open(argv[1], "rb") as f:
            data = bytearray(f.read())
        stamp(data, seconds)
        with open(argv[1], "wb") as f:
            f.write(data)
        return 0
    except (OSError, ValueError, struct.error) as e:
        sys.stderr.write(f"pe-stamp: {e}\n")
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
