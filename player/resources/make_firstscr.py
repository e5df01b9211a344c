#!/usr/bin/env python3
"""Draws the player's start picture and writes it as an 8-bit BMP.

The picture (a small staircase of isometric voxel cubes, the program's name
and how to open a file) is held by the program as the Qt resource
"FirstScr". Run this script to make firstscr.bmp again:
    python3 player/resources/make_firstscr.py player/resources/firstscr.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 640, 480

# Palette: 0..63 background gradient, 64..95 cube shades, 250..255 text.
palette = [(0, 0, 0)] * 256
for i in range(64):
    t = i / 63.0
    palette[i] = (int(20 + 30 * t), int(14 + 22 * t), int(60 + 120 * t))
CUBE_HUES = [(255, 190, 60), (90, 200, 255), (255, 110, 120), (140, 235, 120)]
for h, (r, g, b) in enumerate(CUBE_HUES):
    for s, k in enumerate((1.0, 0.72, 0.48)):  # top, left, right face
        palette[64 + 3 * h + s] = (int(r * k), int(g * k), int(b * k))
palette[80] = (10, 8, 30)  # cube edge
palette[250] = (30, 22, 80)  # text shadow
palette[255] = (255, 255, 255)  # text
palette[254] = (200, 200, 240)  # small text

pixels = [[0] * WIDTH for _ in range(HEIGHT)]
for y in range(HEIGHT):
    row = min(63, y * 64 // HEIGHT)
    for x in range(WIDTH):
        pixels[y][x] = row


def put(x, y, c):
    if 0 <= x < WIDTH and 0 <= y < HEIGHT:
        pixels[y][x] = c


def cube(ox, oy, w, h, hue):
    """An isometric cube whose sprite box starts at (ox, oy): width 2w, height w + h."""
    top, left, right = 64 + 3 * hue, 65 + 3 * hue, 66 + 3 * hue
    for px in range(2 * w):
        for py in range(w + h + 1):
            dx, dy = abs(px - w + 0.5) / w, abs(py - w / 2) / (w / 2)
            if dx + dy <= 1.0:
                c = top if dx + dy < 0.94 else 80
            elif px < w and w / 2 + px / 2 <= py <= w / 2 + px / 2 + h:
                c = left if px > 0 and py < w / 2 + px / 2 + h - 0.5 else 80
            elif px >= w and w - (px - w) / 2 <= py <= w - (px - w) / 2 + h:
                c = right if px < 2 * w - 1 and py < w - (px - w) / 2 + h - 0.5 else 80
            else:
                continue
            put(ox + px, oy + py, c)


# A staircase of cubes, drawn back to front.
W, H = 22, 26
cells = []
for i in range(4):
    for j in range(4):
        for k in range(4 - max(i, j)):
            cells.append((i, j, k))
cells.sort(key=lambda c: (c[0] + c[1], c[2]))
cx, cy = 460, 120
for i, j, k in cells:
    cube(cx + (i - j) * W - W, cy + (i + j) * W // 2 - k * H, W, H, (i + j + k) % 4)

FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "G": ["01111", "10000", "10000", "10111", "10001", "10001", "01111"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    "+": ["00000", "00100", "00100", "11111", "00100", "00100", "00000"],
    ":": ["00000", "00100", "00100", "00000", "00100", "00100", "00000"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    ",": ["00000", "00000", "00000", "00000", "01100", "00100", "01000"],
    " ": ["00000"] * 7,
}


def text(x, y, s, scale, color, shadow=True):
    for n, ch in enumerate(s):
        glyph = FONT[ch]
        for gy, line in enumerate(glyph):
            for gx, bit in enumerate(line):
                if bit != "1":
                    continue
                for sy in range(scale):
                    for sx in range(scale):
                        px = x + (n * 6 + gx) * scale + sx
                        py = y + gy * scale + sy
                        if shadow:
                            put(px + scale // 2 + 1, py + scale // 2 + 1, 250)
                        put(px, py, color)


text(40, 70, "ZVPLAY", 8, 255)
text(44, 150, "VOXEL SPRITE PLAYER", 2, 254)
text(40, 260, "OPEN A ZVL FILE: CTRL+O", 2, 255)
text(40, 290, "PLAY, TURN AND SHADE IT WITH", 2, 254)
text(40, 312, "THE CONTROLS MENU AND THE MOUSE.", 2, 254)


def write_bmp(path):
    stride = (WIDTH + 3) & ~3
    data = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows
        row = bytes(pixels[y])
        data += row + b"\0" * (stride - WIDTH)
    offset = 14 + 40 + 256 * 4
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


write_bmp(sys.argv[1] if len(sys.argv) > 1 else "firstscr.bmp")
