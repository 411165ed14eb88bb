#!/usr/bin/env python3
"""Points a Windows program's load-configuration directory at its .lcfg
section, which holds the structure (src/app/win32/load_config.cpp).
The linker of the MinGW toolchain leaves the directory empty.

  pe-load-config.py EXE

Standard library only. Fails when the program has no .lcfg section.
"""
import struct
import sys

LOAD_CONFIG_ENTRY = 10


def point_directory(data):
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x20B:
        raise ValueError("not a 64-bit program")
    table = optional + optional_size
    for i in range(count):
        name, _, virtual_address, raw_size, raw_pointer = struct.unpack_from("<8sIIII", data, table + 40 * i)
        if name.rstrip(b"\0") == b".lcfg":
            size, = struct.unpack_from("<I", data, raw_pointer)
            if size == 0 or size > raw_size:
                raise ValueError(f".lcfg holds no load configuration (size {size})")
            entry = optional + 112 + 8 * LOAD_CONFIG_ENTRY
            struct.pack_into("<II", data, entry, virtual_address, size)
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
