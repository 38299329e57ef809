#!/usr/bin/env python3
"""Draws DEFAULT_ICON.png, the program's 32 x 32, 32-bit icon: a tray of four coloured tiles
with one tile lifted out of it. Run it from anywhere; it writes next to itself."""
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "scripts"))
from png_writer import Canvas, polygon, rounded_rect, solid, vertical_gradient  # noqa: E402

canvas = Canvas(32, 32)
# The tray.
canvas.fill(rounded_rect(1, 7, 27, 31, 4), solid((40, 62, 120, 255)))
canvas.fill(rounded_rect(2, 8, 26, 30, 3), vertical_gradient(8, 30, (150, 176, 228, 255), (70, 100, 178, 255)))
# Three tiles that stay and the empty place of the fourth.
tiles = [(5, 18, (222, 64, 52, 255)), (15, 18, (242, 186, 36, 255)), (5, 9.5, (58, 170, 84, 255))]
for left, top, colour in tiles:
    canvas.fill(rounded_rect(left, top, left + 8, top + 8, 1.5), solid(colour))
canvas.fill(rounded_rect(15, 9.5, 23, 17.5, 1.5), solid((48, 72, 140, 160)))
# The lifted tile and the arrow that takes it out.
canvas.fill(polygon([(13.5, 13), (19.5, 7), (17, 4.5), (23.5, 4.5), (23.5, 11), (21, 8.5), (15, 14.5)]),
            solid((255, 255, 255, 255)))
canvas.fill(rounded_rect(22, 0.5, 31.5, 10, 2), solid((20, 40, 100, 255)))
canvas.fill(rounded_rect(23, 1.5, 30.5, 9, 1.5), vertical_gradient(1.5, 9, (120, 190, 255, 255), (40, 110, 220, 255)))
canvas.save(os.path.join(here, "DEFAULT_ICON.png"))
