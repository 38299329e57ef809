"""Writes small RGBA pictures as PNG files and draws them with antialiased shapes.

Used by the scripts that make the program's own images (the window icon, the skin's marks),
so that those images are reproducible from source.
"""
import struct
import zlib


def write_png(path, width, height, pixels):
    """pixels: rows of (red, green, blue, alpha) tuples, 0..255."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for red, green, blue, alpha in row:
            raw += bytes((red, green, blue, alpha))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


class Canvas:
    """A transparent picture; shapes are tested at 4 x 4 points per pixel for soft edges."""

    SAMPLES = 4

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0.0, 0.0, 0.0, 0.0) for _ in range(width)] for _ in range(height)]

    def fill(self, inside, colour):
        """inside(x, y) -> bool for a point; colour(x, y) -> (r, g, b, a) there."""
        n = self.SAMPLES
        for py in range(self.height):
            for px in range(self.width):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(px + (sx + 0.5) / n, py + (sy + 0.5) / n):
                            hits += 1
                if hits:
                    self._blend(px, py, colour(px + 0.5, py + 0.5), hits / (n * n))

    def _blend(self, px, py, colour, coverage):
        red, green, blue, alpha = colour
        source_alpha = alpha / 255.0 * coverage
        dr, dg, db, da = self.pixels[py][px]
        out_alpha = source_alpha + da * (1 - source_alpha)
        if out_alpha == 0:
            return

        def mix(source, dest):
            return (source * source_alpha + dest * da * (1 - source_alpha)) / out_alpha

        self.pixels[py][px] = (mix(red, dr), mix(green, dg), mix(blue, db), out_alpha)

    def rows(self):
        return [[(round(r), round(g), round(b), round(a * 255)) for r, g, b, a in row] for row in self.pixels]

    def save(self, path):
        write_png(path, self.width, self.height, self.rows())


def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def polygon(points):
    def inside(x, y):
        crossings = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                crossings = not crossings
        return crossings
    return inside


def solid(colour):
    return lambda x, y: colour


def vertical_gradient(top, bottom, top_colour, bottom_colour):
    def colour(x, y):
        t = min(max((y - top) / (bottom - top), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))
    return colour
