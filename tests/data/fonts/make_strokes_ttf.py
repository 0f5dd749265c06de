#!/usr/bin/env python3
"""Writes Strokes.ttf, the small TrueType font of the outline tests.

Letters of straight bars 100 units wide on a 1000-unit em, capitals 700 high,
so that their centre lines are known exactly: H, I, L, T, the Cyrillic Н and П,
an O of two squares (a frame), a dotted i and a full stop. Run with fontTools
(Debian: fonttools) only when the letters change; the test suite reads the file.
"""
import os

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen


def rect(pen, x0, y0, x1, y1):
    # Counter-clockwise in y-up units is a hole for TrueType; outer contours run clockwise.
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()


def hole(pen, x0, y0, x1, y1):
    pen.moveTo((x0, y0))
    pen.lineTo((x1, y0))
    pen.lineTo((x1, y1))
    pen.lineTo((x0, y1))
    pen.closePath()


def glyph(draw):
    pen = TTGlyphPen(None)
    draw(pen)
    return pen.glyph()


def letter_h(p):
    rect(p, 50, 0, 150, 700)
    rect(p, 450, 0, 550, 700)
    rect(p, 150, 300, 450, 400)


def letter_i_cap(p):
    rect(p, 50, 0, 150, 700)


def letter_l(p):
    rect(p, 50, 0, 150, 700)
    rect(p, 150, 0, 450, 100)


def letter_t(p):
    rect(p, 50, 600, 550, 700)
    rect(p, 250, 0, 350, 600)


def letter_o(p):
    rect(p, 50, 0, 550, 700)
    hole(p, 150, 100, 450, 600)


def letter_pe(p):
    rect(p, 50, 0, 150, 600)
    rect(p, 50, 600, 550, 700)
    rect(p, 450, 0, 550, 600)


def letter_i(p):
    rect(p, 50, 0, 150, 500)
    rect(p, 50, 600, 150, 700)


def full_stop(p):
    rect(p, 50, 0, 150, 100)


def empty(p):
    pass


def main():
    glyphs = {
        ".notdef": empty, "space": empty, "H": letter_h, "I": letter_i_cap, "L": letter_l,
        "T": letter_t, "O": letter_o, "i": letter_i, "period": full_stop,
        "uni041D": letter_h, "uni041F": letter_pe,
    }
    cmap = {0x20: "space", 0x48: "H", 0x49: "I", 0x4C: "L", 0x54: "T", 0x4F: "O", 0x69: "i",
            0x2E: "period", 0x41D: "uni041D", 0x41F: "uni041F"}
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(list(glyphs))
    fb.setupCharacterMap(cmap)
    fb.setupGlyf({name: glyph(draw) for name, draw in glyphs.items()})
    fb.setupHorizontalMetrics({name: (600 if name != "period" else 200, 50) for name in glyphs})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Strokes", "styleName": "Regular",
                       "copyright": "Made for the VEzor tests", "licenseDescription": "Public domain"})
    fb.setupOS2(sTypoAscender=800, sTypoDescender=-200, usWinAscent=800, usWinDescent=200)
    fb.setupPost()
    fb.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "Strokes.ttf"))


if __name__ == "__main__":
    main()
