#!/usr/bin/env python3
"""Draw the Dravik application icon and write it as a Windows .ico file.

Usage: python3 tools/draw_icon.py resources/dravik.ico

Standard library only, no timestamps or randomness, so the output is
byte-identical on every run and can be regenerated instead of hand-edited.
"""
import os
import struct
import sys

SIZES = (48, 32, 16)
# Each size at three depths: 32-bit for every screen since Windows XP, 8-bit
# for a screen of 256 colours, and 4-bit for one of 16 colours (XP's safe
# mode, a remote session at low colour depth), where Windows would otherwise
# map a deeper image to its 16 colours itself.
DEPTHS = (32, 8, 4)
SS = 4  # supersamples per axis; 16 samples give smooth 32-bit edges

RIM = (224, 64, 64)
FILL = (140, 16, 32)
PLAY = (255, 255, 255)

# Standard 16-colour VGA/Windows palette, in its usual index order.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
         (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
         (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
         (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# 6x6x6 colour cube (black lands on index 0) plus 40 grays fills 256 slots.
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PAL256 = CUBE + [(v, v, v) for v in (round(i * 255 / 39) for i in range(40))]


def rounded_rect_dist(x, y, half, radius):
    """Signed distance from (x, y) to a square centred on (0.5, 0.5)."""
    qx = abs(x - 0.5) - (half - radius)
    qy = abs(y - 0.5) - (half - radius)
    outside = (max(qx, 0) ** 2 + max(qy, 0) ** 2) ** 0.5
    return outside + min(max(qx, qy), 0) - radius


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)


def sample(x, y, size):
    """Colour of the artwork at unit coordinates (x, y), or None if empty."""
    # Edges, rim and triangle are snapped to whole pixels so each size stays crisp.
    margin = (size // 24) / size
    d = rounded_rect_dist(x, y, 0.5 - margin, 0.2)
    if d > 0:
        return None
    left = round(0.37 * size) / size
    top = round(0.27 * size) / size
    # Tip at 0.8 x height puts the centroid close to the icon centre.
    if in_triangle(x, y, (left, top), (left, 1 - top), (left + 0.8 * (1 - 2 * top), 0.5)):
        return PLAY
    if d > -max(1, round(size / 20)) / size:
        return RIM
    # Sprocket holes only where there is room for them to read as film.
    px, py = x * size, y * size
    if size >= 48 and (7 < py < 10 or 38 < py < 41) and 10 < px < 38 and (px - 10) % 8 < 4:
        return RIM
    return FILL


def render(size):
    """Per-pixel (average covered colour, coverage, dominant colour)."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = [sample((px + (i + 0.5) / SS) / size, (py + (j + 0.5) / SS) / size, size)
                    for j in range(SS) for i in range(SS)]
            hits = [h for h in hits if h is not None]
            if not hits:
                row.append(((0, 0, 0), 0.0, None))
                continue
            avg = tuple(round(sum(h[k] for h in hits) / len(hits)) for k in range(3))
            # Most frequent colour keeps paletted edges crisp instead of muddy.
            dom = max(sorted(set(hits)), key=hits.count)
            row.append((avg, len(hits) / SS ** 2, dom))
        pixels.append(row)
    return pixels


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def pack_bits(values, bpp):
    """Pack one row MSB-first and pad it to a 4-byte boundary."""
    bits = 0
    for v in values:
        bits = (bits << bpp) | v
    nbits = len(values) * bpp
    stride = (nbits + 31) // 32 * 4
    return (bits << (stride * 8 - nbits)).to_bytes(stride, "big")


def bmp_image(pixels, size, depth):
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # BMP rows run bottom-up
        if depth == 32:
            line = b"".join(bytes((c[2], c[1], c[0], round(cov * 255))) if cov else bytes(4)
                            for c, cov, _ in row)
        else:
            pal = VGA16 if depth == 4 else PAL256
            idx = [nearest(dom, pal) if cov >= 0.5 else 0 for _, cov, dom in row]
            line = pack_bits(idx, depth)
        xor_rows.append(line)
        # Mask bit 1 = transparent; same 50% threshold at every depth.
        and_rows.append(pack_bits([int(cov < 0.5) for _, cov, _ in row], 1))
    body = b"".join(xor_rows) + b"".join(and_rows)
    palette = b""
    if depth != 32:
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in (VGA16 if depth == 4 else PAL256))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, depth, 0,
                         len(body), 0, 0, 0, 0)
    return header + palette + body


def build_ico():
    images = []
    rendered = {s: render(s) for s in SIZES}
    for depth in DEPTHS:
        for size in SIZES:
            images.append((size, depth, bmp_image(rendered[size], size, depth)))
    offset = 6 + 16 * len(images)
    out = [struct.pack("<HHH", 0, 1, len(images))]
    for size, depth, data in images:
        # The entry's colour count: 16 for a 4-bit image, 0 for 256 or more.
        out.append(struct.pack("<BBBBHHII", size, size, 16 if depth == 4 else 0, 0,
                               1, depth, len(data), offset))
        offset += len(data)
    return b"".join(out) + b"".join(data for _, _, data in images)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: python3 tools/draw_icon.py OUTPUT.ico")
    path = sys.argv[1]
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "wb") as f:
        f.write(build_ico())


if __name__ == "__main__":
    main()
