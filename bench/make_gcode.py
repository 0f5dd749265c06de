#!/usr/bin/env python3
"""Writes an engraving-like G-code program for the reader and preview benchmarks.

Letters of about 13 pen moves each, written along lines of a 100 mm field: a
lift, a travel move and a plunge before every letter, G1 moves with two
decimals in between, CR LF line ends as the program's own writer uses.

    bench/make_gcode.py 1000000 big.gcode
"""
import argparse
import random


def program(lines, seed):
    rng = random.Random(seed)
    yield from ("%", "T1M6", "G0Z5.00", "G0X0.00Y0.00S15000F500.00M3")
    written = 4
    pen_x, line_y = 2.0, -5.0
    while written < lines - 2:
        yield "G0Z5.00"
        yield f"G0X{pen_x:.2f}Y{line_y:.2f}"
        yield "G1Z-0.10F500.00"
        written += 3
        x, y = pen_x, line_y
        for _ in range(min(13, lines - 2 - written)):
            x = min(max(x + rng.uniform(-1.2, 1.2), pen_x), pen_x + 3.5)
            y = min(max(y + rng.uniform(-1.2, 1.2), line_y - 4.4), line_y)
            yield f"G1X{x:.2f}Y{y:.2f}"
            written += 1
        pen_x += 4.0
        if pen_x > 96:
            pen_x, line_y = 2.0, line_y - 5.0
            if line_y < -98:
                line_y = -5.0
    yield "G0Z5.00"
    yield "M30"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("lines", type=int, help="number of lines, at least 6")
    parser.add_argument("out", help="file to write")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    with open(args.out, "w", newline="") as f:
        for line in program(max(args.lines, 6), args.seed):
            f.write(line + "\r\n")


if __name__ == "__main__":
    main()
