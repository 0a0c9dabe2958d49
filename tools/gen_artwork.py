#!/usr/bin/env python3
"""Draws MARKOLA's artwork into app/resources/: the window icon and the About banner.

The icon is four grey blocks in a two-by-two grid joined by short bars, on a transparent
ground, drawn on a 16-cell grid and scaled by whole pixels so every size stays crisp and
only fully opaque or fully transparent pixels appear. The banner is 404 x 58 pixels with
an 8-bit, 256-entry palette: the icon motif at left and the name in block lettering.
Standard library only.
Usage: tools/gen_artwork.py [output directory, default app/resources]
"""

import pathlib
import struct
import sys
import zlib

GREY = (128, 128, 128)
ICON_GRID = 16
ICON_SIZES = (16, 32, 48, 64, 128, 256)

# Cells of the 16-cell icon grid as (left, top, width, height).
ICON_BLOCKS = [(1, 1, 6, 6), (9, 1, 6, 6), (1, 9, 6, 6), (9, 9, 6, 6)]
ICON_BARS = [(7, 3, 2, 2), (7, 11, 2, 2), (3, 7, 2, 2), (11, 7, 2, 2)]
ICON_RECTS = ICON_BLOCKS + ICON_BARS

# Block letters on a 5 x 7 grid, "#" filled.
GLYPHS = {
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
}

BANNER_WIDTH, BANNER_HEIGHT = 404, 58
BANNER_TOP = (255, 255, 255)
BANNER_BOTTOM = (214, 222, 234)
LETTER_COLOUR = (40, 56, 96)
SHADOW_COLOUR = (150, 160, 180)


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_file(width, height, colour_type, rows, palette=None):
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    chunks = [png_chunk(b"IHDR", header)]
    if palette is not None:
        chunks.append(png_chunk(b"PLTE", b"".join(bytes(c) for c in palette)))
    chunks.append(png_chunk(b"IDAT", zlib.compress(raw, 9)))
    chunks.append(png_chunk(b"IEND", b""))
    return b"\x89PNG\r\n\x1a\n" + b"".join(chunks)


def icon_cells():
    cells = set()
    for left, top, width, height in ICON_RECTS:
        cells.update((x, y) for x in range(left, left + width) for y in range(top, top + height))
    return cells


def icon_png(size):
    scale = size // ICON_GRID
    cells = icon_cells()
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            inside = (x // scale, y // scale) in cells
            row.extend((*GREY, 255) if inside else (0, 0, 0, 0))
        rows.append(row)
    return png_file(size, size, 6, rows)


def icon_svg():
    rects = "\n".join(
        f'  <rect x="{left}" y="{top}" width="{width}" height="{height}"/>'
        for left, top, width, height in ICON_RECTS
    )
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
        f'viewBox="0 0 {ICON_GRID} {ICON_GRID}" shape-rendering="crispEdges">\n'
        f'<g fill="rgb{GREY}">\n{rects}\n</g>\n</svg>\n'
    )


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def banner_png():
    # Palette: one gradient entry per row, then the icon grey, the letters and their shadow;
    # the rest of the 256 entries stay black.
    palette = [blend(BANNER_TOP, BANNER_BOTTOM, y / (BANNER_HEIGHT - 1)) for y in range(BANNER_HEIGHT)]
    grey, letter, shadow = len(palette), len(palette) + 1, len(palette) + 2
    palette += [GREY, LETTER_COLOUR, SHADOW_COLOUR]
    palette += [(0, 0, 0)] * (256 - len(palette))

    pixels = [[y] * BANNER_WIDTH for y in range(BANNER_HEIGHT)]

    def fill(left, top, width, height, index):
        for y in range(top, top + height):
            for x in range(left, left + width):
                pixels[y][x] = index

    icon_scale, icon_left, icon_top = 3, 16, 5
    for x, y in icon_cells():
        fill(icon_left + x * icon_scale, icon_top + y * icon_scale, icon_scale, icon_scale, grey)

    letter_scale, letter_left, letter_top, letter_gap = 6, 88, 8, 2
    for index, char in enumerate("MARKOLA"):
        origin = letter_left + index * (5 + letter_gap) * letter_scale
        for colour, offset in ((shadow, 2), (letter, 0)):
            for gy, line in enumerate(GLYPHS[char]):
                for gx, mark in enumerate(line):
                    if mark == "#":
                        fill(origin + gx * letter_scale + offset,
                             letter_top + gy * letter_scale + offset,
                             letter_scale, letter_scale, colour)
    return png_file(BANNER_WIDTH, BANNER_HEIGHT, 3, pixels, palette)


def main():
    out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "app/resources")
    (out / "icons").mkdir(parents=True, exist_ok=True)
    for size in ICON_SIZES:
        (out / "icons" / f"markola-{size}.png").write_bytes(icon_png(size))
    (out / "icons" / "markola.svg").write_text(icon_svg(), encoding="utf-8")
    (out / "banner.png").write_bytes(banner_png())


if __name__ == "__main__":
    main()
