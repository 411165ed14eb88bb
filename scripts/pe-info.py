#!/usr/bin/env python3
"""Reads what the release tooling needs from a Windows program file.

  pe-info.py version EXE        the version block's file version, a.b.c.d;
                                fails when its text fields say otherwise
  pe-info.py stamp EXE          the PE header's time stamp, in seconds since
                                1970; fails when the CheckSum does not match
                                the file
  pe-info.py sections EXE...    a Markdown table of the sections' sizes in the
                                file, in bytes, and the whole file's
  pe-info.py dll-search EXE     the imported DLLs and where the loader looks
                                for them; fails unless the load configuration
                                says System32 only (DependentLoadFlags 0x800)
                                and every DLL imported at start is a KnownDLL
                                or comctl32 (which the manifest binds): the
                                others are to be loaded late, from System32

Standard library only.
"""
import struct
import sys

from pe_file import checksum, checksum_offset, headers

FIXED_SIGNATURE = 0xFEEF04BD


def sections(data):
    found = headers(data)
    out = []
    for section in found.sections:
        name = section.name.rstrip(b"\0").decode("ascii", "replace")
        if name.startswith("/"):
            # A long name lives in the string table, as in a debug build's
            # .debug_* sections.
            symbols, nsyms = struct.unpack_from("<II", data, found.pe + 12)
            strings = symbols + 18 * nsyms
            offset = strings + int(name[1:])
            name = data[offset:data.index(b"\0", offset)].decode("ascii", "replace")
        out.append((name, section.virtual_size, section.raw_size))
    return out


LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
# Windows 10's KnownDLLs that a program like this imports, and comctl32,
# which the manifest takes from the side-by-side store.
FROM_SYSTEM_ANYWAY = {
    "advapi32.dll", "combase.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll", "imm32.dll",
    "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "sechost.dll",
    "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ws2_32.dll", "comctl32.dll",
}


def file_offset(sections, rva):
    for section in sections:
        if section.virtual_address <= rva < section.virtual_address + section.virtual_size:
            return section.raw_pointer + rva - section.virtual_address
    raise ValueError(f"address {rva:#x} is in no section")


def dll_search(data):
    """The imported DLLs' names and the load configuration's
    DependentLoadFlags (None without a load configuration)."""
    found = headers(data)
    directories, spans = found.directories(data), found.sections
    imports_rva, _ = struct.unpack_from("<II", data, directories + 8 * 1)
    names = []
    at = file_offset(spans, imports_rva) if imports_rva else None
    while at is not None:
        name_rva = struct.unpack_from("<I", data, at + 12)[0]
        if name_rva == 0:
            break
        start = file_offset(spans, name_rva)
        names.append(data[start:data.index(b"\0", start)].decode("ascii", "replace"))
        at += 20
    config_rva, config_size = struct.unpack_from("<II", data, directories + 8 * 10)
    flags = None
    if config_rva and config_size >= 0x50:
        config = file_offset(spans, config_rva)
        if struct.unpack_from("<I", data, config)[0] >= 0x50:
            flags = struct.unpack_from("<H", data, config + 0x4E)[0]
    return names, flags


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
    if len(argv) < 3 or argv[1] not in ("version", "stamp", "sections", "dll-search"):
        sys.stderr.write(__doc__)
        return 2
    try:
        if argv[1] == "version":
            with open(argv[2], "rb") as f:
                print(file_version(f.read()))
            return 0
        if argv[1] == "stamp":
            with open(argv[2], "rb") as f:
                data = f.read()
            found = headers(data)
            stored = struct.unpack_from("<I", data, checksum_offset(found))[0]
            if stored != checksum(data):
                raise ValueError(f"CheckSum {stored:#x}, but the file sums to {checksum(data):#x}")
            print(struct.unpack_from("<I", data, found.pe + 8)[0])
            return 0
        if argv[1] == "dll-search":
            with open(argv[2], "rb") as f:
                names, flags = dll_search(f.read())
            print("imports: " + " ".join(names))
            early = [n for n in names if n.lower() not in FROM_SYSTEM_ANYWAY]
            print("found in the program's folder first: " + (" ".join(early) or "none"))
            if flags is None:
                print("DependentLoadFlags: none (no load configuration)")
                return 1
            system32 = (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) != 0
            print(f"DependentLoadFlags: {flags:#06x}" + (" (System32 only)" if system32 else ""))
            return 0 if system32 and not early else 1
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
