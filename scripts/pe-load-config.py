#!/usr/bin/env python3
"""Points a Windows program's load-configuration directory at its .lcfg
section, which holds the structure (src/app/win32/load_config.cpp).
The linker of the MinGW toolchain leaves the directory empty.

  pe-load-config.py EXE

Standard library only. Fails when the program has no .lcfg section.
"""
import struct
import sys

from pe_file import headers

LOAD_CONFIG_ENTRY = 10


def point_directory(data):
    found = headers(data)
    if not found.is_64bit(data):
        raise ValueError("not a 64-bit program")
    for section in found.sections:
        if section.name.rstrip(b"\0") == b".lcfg":
            size, = struct.unpack_from("<I", data, section.raw_pointer)
            if size == 0 or size > section.raw_size:
                raise ValueError(f".lcfg holds no load configuration (size {size})")
            entry = found.directories(data) + 8 * LOAD_CONFIG_ENTRY
            struct.pack_into("<II", data, entry, section.virtual_address, size)
            return
    raise ValueError("no .lcfg section")


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    try:
        with open(argv[1], "rb") as f:
            data = bytearray(f.read())
        point_directory(data)
        with open(argv[1], "wb") as f:
            f.write(data)
        return 0
    except (OSError, ValueError) as e:
        sys.stderr.write(f"pe-load-config: {e}\n")
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
