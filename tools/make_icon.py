#!/usr/bin/env python3
# Draws the saver's icon: a small golden-angle spiral of coloured seeds on the saver's light grey,
# as four 8-bit images of 16, 24, 32 and 48 pixels square in one .ico file.
#
# Regenerate the committed icon with:   python3 tools/make_icon.py resources/tessaline.ico
import math
import struct
import sys

SIZES = (16, 24, 32, 48)
BACKGROUND = (223, 223, 223)  # the saver's clear colour, 0.8745 grey
# The colourful entries of the saver's palette, as (red, green, blue).
SEED_COLOURS = ((0xB8, 0x87, 0xC2), (0x04, 0xC9, 0xC3), (0xBA, 0xD8, 0xB9), (0x3E, 0x47, 0xFF),
                (0xD0, 0xBB, 0x79), (0xD5, 0x83, 0x00), (0xB1, 0x1A, 0x1F))
GOLDEN_ANGLE = (math.sqrt(5) - 1) / 2 * 6.2831853
COVERAGE_LEVELS = 8  # shades between the background and each seed colour
SUBSAMPLES = 4       # per pixel side, for the edges of the seeds
SEEDS_PER_RING = 5   # seeds of one colour before the next colour follows


def palette():
    """Index 0 is the background; then each seed colour at coverage 1..COVERAGE_LEVELS."""
    entries = [BACKGROUND]
    for colour in SEED_COLOURS:
        for level in range(1, COVERAGE_LEVELS + 1):
            weight = level / COVERAGE_LEVELS
            entries.append(tuple(round(b + (c - b) * weight) for b, c in zip(BACKGROUND, colour)))
    return entries + [(0, 0, 0)] * (256 - len(entries))


def seeds(size):
    """(x, y, radius, colour index) of each seed, oldest and outermost first."""
    count = size * 3 // 4
    outer = size * 0.47
    spacing = outer / math.sqrt(count)
    centre = size / 2
    result = []
    for age in range(count, 0, -1):
        angle = age * GOLDEN_ANGLE
        distance = spacing * math.sqrt(age - 0.5)
        radius = spacing * 0.8
        x = centre + distance * math.cos(angle)
        y = centre + distance * math.sin(angle)
        result.append((x, y, radius, (age // SEEDS_PER_RING) % len(SEED_COLOURS)))
    return result


def pixel_index(px, py, field):
    hits = {}
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            x = px + (sx + 0.5) / SUBSAMPLES
            y = py + (sy + 0.5) / SUBSAMPLES
            for seed_x, seed_y, radius, colour in field:
                if (x - seed_x) ** 2 + (y - seed_y) ** 2 <= radius * radius:
                    hits[colour] = hits.get(colour, 0) + 1
                    break
    if not hits:
        return 0
    colour, count = max(hits.items(), key=lambda item: item[1])
    level = max(1, round(count * COVERAGE_LEVELS / SUBSAMPLES ** 2))
    return 1 + colour * COVERAGE_LEVELS + level - 1


def image(size):
    """One icon image: BITMAPINFOHEADER, palette, colour rows bottom-up, an all-opaque mask."""
    field = seeds(size)
    rows = [bytes(pixel_index(x, y, field) for x in range(size)) for y in range(size)]
    pixels = b"".join(reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(pixels) + len(mask), 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    return header + colours + pixels + mask


def icon_file():
    images = [image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py <output.ico>")
    with open(sys.argv[1], "wb") as output:
        output.write(icon_file())
