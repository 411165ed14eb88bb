#!/usr/bin/env python3
"""Draws Horvane's pictures and writes them as Windows icon files.

Usage: make-icons.py OUTPUT_DIR

Each picture is a list of filled shapes in unit coordinates (0..1, y down),
rasterised with supersampling at every size the program shows it at, so the
icons stay sharp at any DPI. Standard library only; the build runs it.
"""
import math
import os
import struct
import sys
import zlib

# Buttons and menus show the pictures 16 pixels high at 96 DPI, so 16 to 32
# covers 100 to 200 per cent; Windows scales the nearest size for the rest.
# The program icon also shows at the large icon size (32 to 64) and in the
# update notice (60), and Explorer wants 256, which is stored as PNG.
SIZES = (16, 20, 24, 32)
APP_SIZES = SIZES + (40, 48, 64, 256)


# --- shapes: each is (inside(x, y) -> bool, bounding box) -------------------

def circle(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r,
            (cx - r, cy - r, cx + r, cy + r))


def ellipse_ring(cx, cy, a, b, width):
    def inside(x, y):
        outer = ((x - cx) / (a + width / 2)) ** 2 + ((y - cy) / (b + width / 2)) ** 2
        if outer > 1:
            return False
        ia, ib = a - width / 2, b - width / 2
        if ia <= 0 or ib <= 0:
            return True
        return ((x - cx) / ia) ** 2 + ((y - cy) / ib) ** 2 >= 1
    w = width / 2
    return inside, (cx - a - w, cy - b - w, cx + a + w, cy + b + w)


def arc(cx, cy, r, width, start, end):
    """Ring sector from angle start to end, degrees, clockwise from 3 o'clock
    (y grows downwards)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        s, e = start % 360, end % 360
        return s <= a <= e if s <= e else (a >= s or a <= e)
    w = r + width / 2
    return inside, (cx - w, cy - w, cx + w, cy + w)


def capsule(x0, y0, x1, y1, r):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        length = dx * dx + dy * dy
        t = 0 if length == 0 else max(0, min(1, ((x - x0) * dx + (y - y0) * dy) / length))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= r * r
    return inside, (min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r)


def polygon(*points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)


def arrow_head(tip_x, tip_y, angle, size):
    """A triangle pointing along angle (degrees, y down) with its tip there."""
    a = math.radians(angle)
    back = (tip_x - size * math.cos(a), tip_y - size * math.sin(a))
    nx, ny = -math.sin(a) * size * 0.6, math.cos(a) * size * 0.6
    return polygon((tip_x, tip_y), (back[0] + nx, back[1] + ny), (back[0] - nx, back[1] - ny))


# --- the pictures -----------------------------------------------------------

BLUE = (30, 95, 180, 255)
DARK_BLUE = (18, 56, 112, 255)
WHITE = (255, 255, 255, 255)
GREEN = (46, 160, 67, 255)
RED = (206, 44, 44, 255)
ORANGE = (245, 160, 30, 255)
GREY = (90, 90, 90, 255)
DARK = (40, 40, 40, 255)


def clock_face(cx, cy, r):
    shapes = [(circle(cx, cy, r), DARK_BLUE), (circle(cx, cy, r * 0.84), WHITE)]
    for k in range(12):
        a = math.radians(k * 30)
        inner = r * (0.62 if k % 3 == 0 else 0.70)
        shapes.append((capsule(cx + inner * math.cos(a), cy + inner * math.sin(a),
                               cx + r * 0.74 * math.cos(a), cy + r * 0.74 * math.sin(a),
                               r * (0.05 if k % 3 == 0 else 0.03)), DARK))
    shapes += [
        (capsule(cx, cy, cx - r * 0.30, cy - r * 0.30, r * 0.08), DARK),   # hour: ten
        (capsule(cx, cy, cx + r * 0.34, cy - r * 0.50, r * 0.06), DARK),   # minute: two
        (capsule(cx, cy, cx + r * 0.10, cy + r * 0.58, r * 0.025), RED),   # seconds
        (circle(cx, cy, r * 0.09), DARK),
    ]
    return shapes


def picture_app():
    cx = cy = 0.46
    shapes = clock_face(cx, cy, 0.40)
    # The synchronising arrow round the lower right, pointing clockwise.
    r, end = 0.47, 105
    tip = math.radians(end + 14)
    shapes += [(arc(cx, cy, r, 0.075, -5, end), GREEN),
               (arrow_head(cx + r * math.cos(tip), cy + r * math.sin(tip), end + 14 + 90, 0.15),
                GREEN)]
    return shapes


def picture_get():
    return [
        (circle(0.44, 0.44, 0.40), BLUE),
        (ellipse_ring(0.44, 0.44, 0.17, 0.38, 0.05), WHITE),
        (capsule(0.06, 0.44, 0.82, 0.44, 0.025), WHITE),
        (capsule(0.12, 0.26, 0.76, 0.26, 0.02), WHITE),
        (capsule(0.12, 0.62, 0.76, 0.62, 0.02), WHITE),
        (circle(0.74, 0.74, 0.25), WHITE),
        (capsule(0.74, 0.56, 0.74, 0.80, 0.055), GREEN),
        (polygon((0.58, 0.74), (0.90, 0.74), (0.74, 0.94)), GREEN),
    ]


def picture_sync():
    return [
        (arc(0.5, 0.5, 0.34, 0.13, 200, 330), GREEN),
        (arrow_head(0.86, 0.36, 60, 0.30), GREEN),
        (arc(0.5, 0.5, 0.34, 0.13, 20, 150), GREEN),
        (arrow_head(0.14, 0.64, 240, 0.30), GREEN),
    ]


def picture_exit():
    return [
        (circle(0.5, 0.5, 0.46), RED),
        (arc(0.5, 0.54, 0.24, 0.09, -55, 235), WHITE),
        (capsule(0.5, 0.18, 0.5, 0.50, 0.055), WHITE),
    ]


def picture_help():
    return [
        (circle(0.5, 0.5, 0.46), BLUE),
        (arc(0.5, 0.37, 0.15, 0.10, 180, 90), WHITE),
        (capsule(0.5, 0.52, 0.5, 0.60, 0.05), WHITE),
        (circle(0.5, 0.76, 0.065), WHITE),
    ]


def picture_about():
    return [
        (circle(0.5, 0.5, 0.46), BLUE),
        (circle(0.5, 0.27, 0.07), WHITE),
        (capsule(0.5, 0.44, 0.5, 0.76, 0.065), WHITE),
    ]


def picture_flag():
    return [
        (capsule(0.20, 0.08, 0.20, 0.94, 0.045), GREY),
        (polygon((0.24, 0.10), (0.52, 0.16), (0.90, 0.10), (0.90, 0.54), (0.52, 0.60),
                 (0.24, 0.54)), RED),
        (polygon((0.24, 0.28), (0.52, 0.34), (0.90, 0.28), (0.90, 0.38), (0.52, 0.44),
                 (0.24, 0.38)), WHITE),
    ]


def picture_feedback():
    return [
        (rounded_rect(0.06, 0.10, 0.94, 0.70, 0.14), ORANGE),
        (polygon((0.22, 0.66), (0.46, 0.66), (0.18, 0.92)), ORANGE),
        (capsule(0.22, 0.30, 0.78, 0.30, 0.045), WHITE),
        (capsule(0.22, 0.49, 0.62, 0.49, 0.045), WHITE),
    ]


def picture_close():
    return [
        (capsule(0.24, 0.24, 0.76, 0.76, 0.08), GREY),
        (capsule(0.76, 0.24, 0.24, 0.76, 0.08), GREY),
    ]


def picture_arrow():
    return [(polygon((0.18, 0.34), (0.82, 0.34), (0.5, 0.72)), DARK)]


def face(colour, smile):
    shapes = [(circle(0.5, 0.5, 0.46), colour),
              (circle(0.34, 0.38, 0.07), DARK), (circle(0.66, 0.38, 0.07), DARK)]
    if smile:
        shapes.append((arc(0.5, 0.50, 0.25, 0.08, 25, 155), DARK))
    else:
        shapes.append((arc(0.5, 0.86, 0.25, 0.08, 215, 325), DARK))
    return shapes


PICTURES = {
    "app": picture_app,
    "get": picture_get,
    "sync": picture_sync,
    "exit": picture_exit,
    "help": picture_help,
    "about": picture_about,
    "flag": picture_flag,
    "feedback": picture_feedback,
    "close": picture_close,
    "arrow": picture_arrow,
    "like": lambda: face(GREEN, True),
    "dislike": lambda: face(RED, False),
}


# --- rasterising and file formats -------------------------------------------

def render(shapes, size):
    """Premultiplied RGBA floats, row by row from the top."""
    ss = 4 if size <= 64 else 2
    px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    step = 1.0 / (size * ss)
    for (inside, (bx0, by0, bx1, by1)), (r, g, b, a) in shapes:
        x0, y0 = max(0, int(bx0 * size) - 1), max(0, int(by0 * size) - 1)
        x1, y1 = min(size, int(bx1 * size) + 2), min(size, int(by1 * size) + 2)
        alpha = a / 255.0
        for py in range(y0, y1):
            for pxl in range(x0, x1):
                hits = 0
                for sy in range(ss):
                    y = (py * ss + sy + 0.5) * step
                    for sx in range(ss):
                        if inside((pxl * ss + sx + 0.5) * step, y):
                            hits += 1
                if not hits:
                    continue
                cover = alpha * hits / (ss * ss)
                p = px[py * size + pxl]
                keep = 1 - cover
                p[0] = r / 255.0 * cover + p[0] * keep
                p[1] = g / 255.0 * cover + p[1] * keep
                p[2] = b / 255.0 * cover + p[2] * keep
                p[3] = cover + p[3] * keep
    out = []
    for p in px:
        a = p[3]
        if a <= 0:
            out.append((0, 0, 0, 0))
        else:
            out.append(tuple(min(255, round(c / a * 255)) for c in p[:3]) + (round(a * 255),))
    return out


def bmp_entry(pixels, size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    # Colour rows are BGRA.
    colour = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = pixels[y * size + x]
            colour += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def png_entry(pixels, size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for x in range(size):
            raw += bytes(pixels[y * size + x])
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_icon(path, shapes, sizes):
    images = []
    for size in sizes:
        pixels = render(shapes, size)
        images.append((size, png_entry(pixels, size) if size >= 256 else bmp_entry(pixels, size)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        dim = 0 if size >= 256 else size
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in images:
        data += blob
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    for name, draw in PICTURES.items():
        write_icon(os.path.join(out, name + ".ico"), draw(),
                   APP_SIZES if name == "app" else SIZES)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
