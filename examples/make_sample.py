#!/usr/bin/env python3
"""Writes examples/sample.ps: a small print file with fonts of our own.

Two Type 1 fonts, drawn here as 5x7 pixel letters and assembled into PFA form
with t1asm (Debian's t1utils), and one Type 0 composite font made of them,
each in its own "%%BeginResource: font" resource. The second font's resource
has CR LF line ends, the rest LF. Run it again after changing the letters.
"""

import pathlib
import subprocess

# 5 columns by 7 rows, top row first.
LETTERS = {
    "G": [" ### ", "#   #", "#    ", "# ###", "#   #", "#   #", " ### "],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "Y": ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
    "P": ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    "H": ["#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "U": ["#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
}
CELL = 100  # font units per pixel
ADVANCE = 6 * CELL


def charstring(rows, inset):
    """Type 1 charstring commands: one square contour per pixel."""
    commands = [f"0 {ADVANCE} hsbw"]
    x, y = 0, 0  # current point
    size = CELL - 2 * inset
    for row, bits in enumerate(rows):
        for column, bit in enumerate(bits):
            if bit != "#":
                continue
            left = column * CELL + inset
            bottom = (6 - row) * CELL + inset
            commands.append(f"{left - x} {bottom - y} rmoveto")
            commands += [f"{size} 0 rlineto", f"0 {size} rlineto",
                         f"{-size} 0 rlineto", f"0 {-size} rlineto",
                         "closepath"]
            x, y = left, bottom
    commands.append("endchar")
    return commands


def font_source(name, inset):
    """The font in t1disasm's text form, ready for t1asm."""
    glyphs = {".notdef": ["0 500 hsbw", "endchar"], "space": [f"0 {ADVANCE} hsbw", "endchar"]}
    for letter, rows in LETTERS.items():
        glyphs[letter] = charstring(rows, inset)
    encoding = "".join(f"dup {ord(c)} /{c} put\n" for c in LETTERS)
    char_strings = "".join(
        f"/{glyph} {{\n" + "".join(f"\t{c}\n" for c in commands) + "\t} ND\n"
        for glyph, commands in glyphs.items())
    return f"""%!PS-AdobeFont-1.0: {name} 001.000
%%Title: {name}
%%Notice: Made for the glyphcull sample; free to use for any purpose.
11 dict begin
/FontInfo 6 dict dup begin
/version (001.000) readonly def
/Notice (Made for the glyphcull sample; free to use for any purpose.) readonly def
/FullName ({name}) readonly def
/FamilyName ({name}) readonly def
/Weight (Regular) readonly def
/ItalicAngle 0 def
end readonly def
/FontName /{name} def
/PaintType 0 def
/FontType 1 def
/FontMatrix [0.001 0 0 0.001 0 0] readonly def
/Encoding 256 array
0 1 255 {{1 index exch /.notdef put}} for
dup 32 /space put
{encoding}readonly def
/FontBBox {{0 0 {5 * CELL} {7 * CELL}}} readonly def
currentdict end
currentfile eexec
dup /Private 8 dict dup begin
/RD{{string currentfile exch readstring pop}}executeonly def
/ND{{noaccess def}}executeonly def
/NP{{noaccess put}}executeonly def
/BlueValues [] def
/MinFeature {{16 16}} def
/password 5839 def
/Subrs 4 array
dup 0 {{
\t3 0 callothersubr
\tpop
\tpop
\tsetcurrentpoint
\treturn
\t}} NP
dup 1 {{
\t0 1 callothersubr
\treturn
\t}} NP
dup 2 {{
\t0 2 callothersubr
\treturn
\t}} NP
dup 3 {{
\treturn
\t}} NP
ND
2 index /CharStrings {len(glyphs)} dict dup begin
{char_strings}end
end
readonly put
noaccess put
dup /FontName get exch definefont pop
mark currentfile closefile
cleartomark
"""


def pfa(name, inset):
    result = subprocess.run(["t1asm", "-a"], input=font_source(name, inset).encode(),
                            capture_output=True, check=True)
    return result.stdout.decode("ascii")


def resource(name, body):
    return f"%%BeginResource: font {name}\n{body}%%EndResource\n"


COMPOSITE = """%!PS-Adobe-3.0 Resource-Font
10 dict begin
/FontName /GlyphComposite def
/FontType 0 def
/FontMatrix [1 0 0 1 0 0] def
/FMapType 2 def
/Encoding [0 1] def
/FDepVector [/GlyphSans findfont /ABCDEF+GlyphDots findfont] def
FontName currentdict end definefont pop
"""


def sample():
    dots = pfa("ABCDEF+GlyphDots", 20).replace("\n", "\r\n")
    return (
        "%!PS-Adobe-3.0\n"
        "%%Creator: glyphcull examples/make_sample.py\n"
        "%%Title: glyphcull sample\n"
        "%%Pages: 1\n"
        "%%BoundingBox: 0 0 612 792\n"
        "%%DocumentSuppliedResources: font GlyphSans\n"
        "%%+ font ABCDEF+GlyphDots\n"
        "%%+ font GlyphComposite\n"
        "%%EndComments\n"
        "%%BeginSetup\n"
        + resource("GlyphSans", pfa("GlyphSans", 0))
        + resource("ABCDEF+GlyphDots", dots).replace("%%EndResource\n", "%%EndResource\r\n")
        + resource("GlyphComposite", COMPOSITE)
        + "%%EndSetup\n"
        "%%Page: 1 1\n"
        "/GlyphSans findfont 48 scalefont setfont\n"
        "72 640 moveto (GLYPH CULL) show\n"
        "/ABCDEF+GlyphDots findfont 48 scalefont setfont\n"
        "72 560 moveto (GLYPH CULL) show\n"
        "/GlyphComposite findfont 48 scalefont setfont\n"
        "72 480 moveto <0047004C005901500148002000430155014C014C> show\n"
        "showpage\n"
        "%%Trailer\n"
        "%%EOF\n")


if __name__ == "__main__":
    out = pathlib.Path(__file__).with_name("sample.ps")
    out.write_bytes(sample().encode("ascii"))
    print(f"wrote {out}")
