#!/usr/bin/env python3
"""Draws the marks of the control skin: the check mark, the partial mark and the arrows of
drop-downs and spin boxes. Run it from anywhere; it writes next to itself."""
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "scripts"))
from png_writer import Canvas, polygon, rounded_rect, solid  # noqa: E402

MARK = (33, 33, 64, 255)


def draw(name, width, height, shape):
    canvas = Canvas(width, height)
    canvas.fill(shape, solid(MARK))
    canvas.save(os.path.join(here, name))


draw("check.png", 13, 13, polygon([(2.5, 6.5), (5, 9), (10.5, 3), (11.5, 4.5), (5, 11.5), (1.5, 8)]))
draw("partial.png", 13, 13, rounded_rect(3, 3, 10, 10, 1))
draw("arrow-down.png", 9, 5, polygon([(0.5, 0.5), (8.5, 0.5), (4.5, 4.5)]))
draw("arrow-up.png", 9, 5, polygon([(0.5, 4.5), (8.5, 4.5), (4.5, 0.5)]))
