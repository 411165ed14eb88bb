"""The headers of a Windows program file, as the release scripts read them.

Standard library only.
"""
import struct
from typing import NamedTuple


class Section(NamedTuple):
    name: bytes  # as stored: padded with NULs, or "/n" for a long name
    virtual_size: int
    virtual_address: int
    raw_size: int
    raw_pointer: int


class Headers(NamedTuple):
    pe: int  # the PE signature's offset
    optional: int  # the optional header's offset
    sections: list

    def is_64bit(self, data):
        return struct.unpack_from("<H", data, self.optional)[0] == 0x20B

    def directories(self, data):
        """The data directories' offset."""
        return self.optional + (112 if self.is_64bit(data) else 96)


def headers(data):
    if data[:2] != b"MZ":
        raise ValueError("not a Windows program")
    pe, = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    optional = pe + 24
    table = optional + optional_size
    sections = [Section(*struct.unpack_from("<8sIIII", data, table + 40 * i)) for i in range(count)]
    return Headers(pe, optional, sections)


def checksum_offset(found):
    return found.optional + 64


def checksum(data):
    """The optional header's CheckSum as the loader computes it: the file's
    16-bit words summed with end-around carry, the field itself taken as zero,
    plus the file's length."""
    found = headers(data)
    at = checksum_offset(found)
    words = bytes(data[:at]) + b"\0\0\0\0" + bytes(data[at + 4:])
    if len(words) % 2:
        words += b"\0"
    total = sum(struct.unpack(f"<{len(words) // 2}H", words))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF
