#!/usr/bin/env python3
"""Reads what the release tooling needs from a Windows program file.

  pe-info.py version EXE        the version block's file version, a.b.c.d;
                                fails when its text fields say otherwise
  pe-info.py sections EXE...    a Markdown table of the sections' sizes in the
                                file, in bytes, and the whole file's

Standard library only.
"""
import struct
import sys

FIXED_SIGNATURE = 0xFEEF04BD


def sections(data):
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    out = []
    for i in range(count):
        raw_name, virtual_size, _, raw_size = struct.unpack_from("<8sIII", data, table + 40 * i)
        name = raw_name.rstrip(b"\0").decode("ascii", "replace")
        if name.startswith("/"):
            # A long name lives in the string table, as in a debug build's
            # .debug_* sections.
            symbols, nsyms = struct.unpack_from("<II", data, pe + 12)
            strings = symbols + 18 * nsyms
            offset = strings + int(name[1:])
            name = data[offset:data.index(b"\0", offset)].decode("ascii", "replace")
        out.append((name, virtual_size, raw_size))
    return out


def version_block(data):
    """The VS_VERSION_INFO resource: its key, found by name, follows the
    block's three 16-bit header words."""
    key = "VS_VERSION_INFO".encode("utf-16-le") + b"\0\0"
    at = data.find(key)
    while at >= 6:
        start = at - 6
        length = struct.unpack_from("<H", data, start)[0]
        if length > 0 and struct.unpack_from("<I", data, at + len(key) + 2)[0] == FIXED_SIGNATURE:
            return data[start:start + length], at + len(key) + 2 - start
        at = data.find(key, at + 1)
    raise ValueError("no version block")


def utf16_value(block, key):
    """The text of a String entry of the version block, or None."""
    needle = key.encode("utf-16-le") + b"\0\0"
    at = block.find(needle)
    if at < 0:
        return None
    at += len(needle)
    at += (-at) % 4  # values start on a 32-bit boundary
    end = at
    while end < len(block) and block[end:end + 2] != b"\0\0":
        end += 2
    return block[at:end].decode("utf-16-le")


def file_version(data):
    block, fixed = version_block(data)
    ms, ls = struct.unpack_from("<II", block, fixed + 8)
    version = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    for key in ("FileVersion", "ProductVersion"):
        text = utf16_value(block, key)
        if text is not None and text != version:
            raise ValueError(f"the version block says {version} but {key} says {text}")
    return version


def main(argv):
    if len(argv) < 3 or argv[1] not in ("version", "sections"):
        sys.stderr.write(__doc__)
        return 2
    try:
        if argv[1] == "version":
            with open(argv[2], "rb") as f:
                print(file_version(f.read()))
            return 0
        tables = []
        sizes = []
        for path in argv[2:]:
            with open(path, "rb") as f:
                data = f.read()
            tables.append((path, {n: raw for n, _, raw in sections(data)}))
            sizes.append(len(data))
        names = []
        for _, t in tables:
            names += [n for n in t if n not in names]
        print("| Section | " + " | ".join(p for p, _ in tables) + " |")
        print("|---|" + "---:|" * len(tables))
        for n in names:
            print(f"| `{n}` | " + " | ".join(f"{t[n]:,}" if n in t else "-" for _, t in tables) + " |")
        print("| **file** | " + " | ".join(f"**{n:,}**" for n in sizes) + " |")
        return 0
    except (OSError, ValueError) as e:
        sys.stderr.write(f"pe-info: {e}\n")
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
