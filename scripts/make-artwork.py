#!/usr/bin/env python3
"""Draws the program's artwork and writes it as resource files under
src/app/res/: the banner (600 x 71, 24-bit BMP), the application icon as raw
icon images plus their group directory (so the .rc can give the images fixed
ids), a second small icon, the list's first image (16 x 16, 24-bit BMP) and
the link label's hand pointer (32 x 32 monochrome .cur, hot spot (5, 0)).

Pure Python, no imaging library. The generated files are committed, so the
build never needs Python; run this again only to change the artwork:
    python3 scripts/make-artwork.py
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "app", "res")

# --- drawing -------------------------------------------------------------
# A picture is a function (x, y) -> (r, g, b, a) over the unit square; it is
# sampled 4 x 4 per pixel.


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def app_icon(x, y):
    """A blue tile with a white folded page, a "P" on it, and an orange plus."""
    # orange badge (plus) at the lower right, drawn on top
    bx, by = 0.74, 0.74
    if (x - bx) ** 2 + (y - by) ** 2 <= 0.22 ** 2:
        if (abs(x - bx) <= 0.045 and abs(y - by) <= 0.14) or (abs(y - by) <= 0.045 and abs(x - bx) <= 0.14):
            return (255, 255, 255, 255)
        if (x - bx) ** 2 + (y - by) ** 2 <= 0.18 ** 2:
            return (240, 130, 20, 255)
        return (255, 255, 255, 255)
    # the page
    if 0.22 <= x <= 0.74 and 0.12 <= y <= 0.86:
        fold = x > 0.58 and y < 0.28 and (x - 0.58) > (y - 0.12)
        if fold:
            return (200, 215, 235, 255)
        # a "P" in dark blue
        stem = 0.32 <= x <= 0.41 and 0.30 <= y <= 0.72
        d = ((x - 0.45) ** 2 + (y - 0.42) ** 2) ** 0.5
        bowl = x >= 0.41 and 0.06 <= d <= 0.14
        if stem or bowl:
            return (20, 60, 140, 255)
        return (255, 255, 255, 255)
    if inside_round_rect(x, y, 0.04, 0.04, 0.96, 0.96, 0.16):
        t = y
        return (int(30 + 40 * t), int(90 + 60 * t), int(200 - 30 * t), 255)
    return (0, 0, 0, 0)


def folder_icon(x, y):
    """The list's third image: a yellow folder."""
    if inside_round_rect(x, y, 0.06, 0.18, 0.46, 0.40, 0.05):
        return (220, 170, 40, 255)
    if inside_round_rect(x, y, 0.06, 0.28, 0.94, 0.86, 0.06):
        return (250, 205, 70, 255)
    return (0, 0, 0, 0)


def render(picture, size, bg=None):
    """Rows top to bottom of (r, g, b, a); with bg, blended onto it."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    r, g, b, a = picture((px + (sx + 0.5) / 4) / size, (py + (sy + 0.5) / 4) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            a = acc[3] / 16
            if acc[3] > 0:
                c = [acc[i] / acc[3] for i in range(3)]
            else:
                c = [0, 0, 0]
            if bg is not None:
                k = a / 255
                c = [c[i] * k + bg[i] * (1 - k) for i in range(3)]
                a = 255
            row.append((round(c[0]), round(c[1]), round(c[2]), round(a)))
        rows.append(row)
    return rows


# --- 5 x 7 pixel font for the banner's texts -------------------------------
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(img, text, x0, y0, scale, colour):
    for i, ch in enumerate(text):
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = x0 + (i * 6 + gx) * scale + dx
                        y = y0 + gy * scale + dy
                        if 0 <= x < len(img[0]) and 0 <= y < len(img):
                            img[y][x] = colour


def banner():
    w, h = 600, 71
    img = []
    for y in range(h):
        row = []
        for x in range(w):
            t = x / (w - 1)
            row.append((int(18 + 40 * t), int(52 + 70 * t - 10 * y / h), int(120 + 80 * t)))
        img.append(row)
    # the icon at the left, blended onto the band
    icon = render(app_icon, 56)
    for y in range(56):
        for x in range(56):
            r, g, b, a = icon[y][x]
            k = a / 255
            bx, by = 10 + x, 8 + y
            base = img[by][bx]
            img[by][bx] = tuple(round(c * k + base[i] * (1 - k)) for i, c in enumerate((r, g, b)))
    shadow = (10, 25, 60)
    draw_text(img, "PELORIN", 82 + 2, 9 + 2, 4, shadow)
    draw_text(img, "PELORIN", 82, 9, 4, (255, 255, 255))
    draw_text(img, "ADD MULTIPLE PST FILES TO OUTLOOK", 83, 47, 2, (255, 235, 150))
    tag = "V3.0"
    draw_text(img, tag, w - 12 - text_width(tag, 2), 9, 2, (200, 220, 255))
    maker = "QUENNET"
    draw_text(img, maker, w - 12 - text_width(maker, 2), 47, 2, (200, 220, 255))
    return img


# --- file formats ----------------------------------------------------------


def bmp24(img):
    """A BMP file, 24 bits per pixel, bottom-up."""
    h, w = len(img), len(img[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(img):
        line = bytearray()
        for r, g, b in (p[:3] for p in row):
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def and_mask(alpha_rows, size):
    """1 bit per pixel, bottom-up, rows padded to 32 bits: 1 = transparent."""
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(alpha_rows):
        line = bytearray(stride)
        for x, transparent in enumerate(row):
            if transparent:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return out


# 256-colour palette: the 6 x 6 x 6 colour cube, then greys.
PALETTE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE += [(round(i * 255 / 39),) * 3 for i in range(40)]


def nearest(c):
    return min(range(256), key=lambda i: sum((PALETTE[i][k] - c[k]) ** 2 for k in range(3)))


def icon_image(rows, bits):
    """An icon image as stored in an RT_ICON resource (DIB with doubled height)."""
    size = len(rows)
    transparent = [[p[3] < 128 for p in row] for row in rows]
    if bits == 32:
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        palette = b""
    else:
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
        stride = (size + 3) & ~3
        xor = bytearray()
        cache = {}
        for row, trans in zip(reversed(rows), reversed(transparent)):
            line = bytearray()
            for p, t in zip(row, trans):
                key = p[:3]
                if key not in cache:
                    cache[key] = nearest(key)
                line.append(0 if t else cache[key])
            line += b"\0" * (stride - len(line))
            xor += line
    mask = and_mask(transparent, size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0, 0,
                       256 if bits == 8 else 0, 0)
    return info + palette + bytes(xor) + bytes(mask)


def group_dir(entries):
    """RT_GROUP_ICON data: (size, bits, image bytes, resource id) per image."""
    out = struct.pack("<HHH", 0, 1, len(entries))
    for size, bits, data, rid in entries:
        out += struct.pack("<BBBBHHIH", size % 256, size % 256, 0, 0, 1, bits, len(data), rid)
    return out


HAND = [
    ".....##.........",
    "....#--#........",
    "....#--#........",
    "....#--#........",
    "....#--#........",
    "....#--###......",
    "....#--#--###...",
    "....#--#--#--##.",
    ".##.#--#--#--#-#",
    "#--##--------#-#",
    "#---#----------#",
    ".#-------------#",
    "..#------------#",
    "..#-----------#.",
    "...#----------#.",
    "...#---------#..",
    "....#--------#..",
    "....#--------#..",
    "....##########..",
]


def hand_cursor():
    """A .cur file: 32 x 32 monochrome pointing hand, hot spot (5, 0)."""
    size = 32
    grid = [row.ljust(size, ".") for row in HAND] + ["." * size] * (size - len(HAND))
    stride = 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(grid):
        xline, mline = bytearray(stride), bytearray(stride)
        for x, ch in enumerate(row):
            bit = 0x80 >> (x % 8)
            if ch == "-":
                xline[x // 8] |= bit  # white
            elif ch == ".":
                mline[x // 8] |= bit  # transparent
        xor += xline
        mask += mline
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = info + palette + bytes(xor) + bytes(mask)
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, 5, 0, len(image), 6 + 16)
    return head + entry + image


def write(name, data):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)
    print(f"{os.path.relpath(path)}: {len(data)} bytes")


def main():
    os.makedirs(OUT, exist_ok=True)
    write("banner.bmp", bmp24(banner()))
    # application icon: ids 30001-30004 (16 8-bit, 32 8-bit, 16 32-bit, 32 32-bit)
    entries = []
    for rid, (size, bits) in zip(range(30001, 30005), ((16, 8), (32, 8), (16, 32), (32, 32))):
        data = icon_image(render(app_icon, size), bits)
        write(f"icon{rid}.bin", data)
        entries.append((size, bits, data, rid))
    write("app.grp", group_dir(entries))
    # the list's third image: ids 30005-30006 (16 8-bit, 16 32-bit)
    entries = []
    for rid, bits in ((30005, 8), (30006, 32)):
        data = icon_image(render(folder_icon, 16), bits)
        write(f"icon{rid}.bin", data)
        entries.append((16, bits, data, rid))
    write("folder.grp", group_dir(entries))
    # the list's first image: a page on silver (the image list's mask colour)
    write("list1.bmp", bmp24(render(app_icon, 16, bg=(192, 192, 192))))
    write("hand.cur", hand_cursor())


if __name__ == "__main__":
    main()
