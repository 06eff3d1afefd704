#!/usr/bin/env python3
"""Writes the benchmark's print files, the same bytes on every run.

Usage: make_files.py FOLDER

  1-lf.ps        500 MiB of page content, 64 Type 1 fonts spread through it
  2-crlf.ps      the same with CR LF line ends
  3-fonts.ps     100 MiB with 2,000 Type 1 fonts, each with its own name
  4-noeol.ps     1 GiB of bytes with no line end at all, then one font

The fonts are the project's own GlyphSans from examples/sample.ps, renamed.
"""

import pathlib
import random
import re
import sys

MiB = 1 << 20
ROOT = pathlib.Path(__file__).resolve().parent.parent


def sample_font():
    """The GlyphSans font resource of the bundled sample, as LF lines."""
    sample = (ROOT / "examples" / "sample.ps").read_bytes()
    match = re.search(rb"%%BeginResource: font GlyphSans\n.*?%%EndResource\n",
                      sample, re.S)
    return match.group(0)


FONT = sample_font()


def font_named(name):
    return FONT.replace(b"GlyphSans", name)


def page_content(size, seed):
    """About `size` bytes of page-description lines as a driver writes them."""
    rng = random.Random(seed)
    words = [b"moveto", b"lineto", b"curveto", b"show", b"setgray", b"fill",
             b"stroke", b"gsave", b"grestore", b"setrgbcolor", b"rectfill"]
    lines = []
    total = 0
    while total < size:
        kind = rng.random()
        if kind < 0.05:
            line = b"%%%%Page: %d %d" % (rng.randrange(1000), rng.randrange(1000))
        elif kind < 0.30:
            text = bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz     ")
                         for _ in range(rng.randrange(10, 70)))
            line = b"%d %d moveto (%s) show" % (rng.randrange(612),
                                                 rng.randrange(792), text)
        else:
            line = b" ".join(b"%.2f" % (rng.random() * 600)
                             for _ in range(rng.randrange(2, 7)))
            line += b" " + rng.choice(words)
        lines.append(line + b"\n")
        total += len(line) + 1
    return b"".join(lines)


def write_with_fonts(path, size, font_count, names, line_end=b"\n"):
    """`size` bytes of page content with `font_count` fonts spread evenly."""
    block = page_content(4 * MiB, seed=1)
    between = (size - font_count * len(FONT)) // font_count
    with open(path, "wb") as out:
        for index in range(font_count):
            left = between
            while left > 0:
                piece = block[:left] if left < len(block) else block
                # Cut at a line end, so that every font starts a line.
                if len(piece) < len(block):
                    piece = piece[:piece.rfind(b"\n") + 1] or b"\n"
                out.write(piece.replace(b"\n", line_end))
                left -= len(piece)
            out.write(font_named(names(index)).replace(b"\n", line_end))


def main():
    folder = pathlib.Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    write_with_fonts(folder / "1-lf.ps", 500 * MiB, 64,
                     lambda i: b"BenchSans%02d" % i)
    write_with_fonts(folder / "2-crlf.ps", 500 * MiB, 64,
                     lambda i: b"BenchSans%02d" % i, line_end=b"\r\n")
    write_with_fonts(folder / "3-fonts.ps", 100 * MiB, 2000,
                     lambda i: b"ManySans%04d" % i)
    with open(folder / "4-noeol.ps", "wb") as out:
        chunk = bytes(random.Random(4).choice(b"0123456789abcdef ")
                      for _ in range(MiB))
        for _ in range(1024):
            out.write(chunk)
        out.write(b"\n" + font_named(b"LastSans"))


if __name__ == "__main__":
    main()
