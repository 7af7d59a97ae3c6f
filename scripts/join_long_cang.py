#!/usr/bin/python3
"""Makes fonts/LongCang-Regular.ttf from the npm package @fontsource/long-cang.

The package ships Long Cang (SIL Open Font Licence) only as web fonts cut into about ninety
unicode-range subsets. Its one "chinese-simplified" file lacks about a thousand GB2312 hanzi that
the numbered subsets hold, so every subset is joined back into one TrueType font: the subsets are
cut from the same font and keep its glyph names, so each glyph is copied once under its own name.
TrueType rather than WOFF2 because a WOFF2 file is decompressed into memory every time it is
opened, which costs the program tens of milliseconds and megabytes at every start.

Only this script needs the package and fontTools; the build uses the generated file:

    apt-get install python3-fonttools python3-brotli
    (cd /tmp && npm pack @fontsource/long-cang)
    scripts/join_long_cang.py /tmp/fontsource-long-cang-*.tgz
"""

import argparse
import pathlib
import tarfile
import tempfile

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._c_m_a_p import cmap_format_4, cmap_format_12

ROOT = pathlib.Path(__file__).resolve().parent.parent


def subset_files(folder):
    files = sorted(folder.glob("package/files/long-cang-*-400-normal.woff2"))
    latin = [f for f in files if f.name == "long-cang-latin-400-normal.woff2"]
    chinese = [f for f in files if "chinese-simplified" in f.name]
    if not latin or not chinese:
        raise SystemExit("not the @fontsource/long-cang package: no latin or chinese-simplified subset")
    return latin[0], chinese[0], files


def join(latin, chinese, files):
    # The Latin subset is the base, so its kerning keeps the glyph names it refers to.
    font = TTFont(latin)
    order = list(font.getGlyphOrder())
    have = set(order)
    characters = dict(font.getBestCmap())
    for path in files:
        part = TTFont(path)
        for name in part.getGlyphOrder():
            if name not in have:
                have.add(name)
                order.append(name)
                font["glyf"].glyphs[name] = part["glyf"][name]
                font["hmtx"].metrics[name] = part["hmtx"][name]
        for code, name in part.getBestCmap().items():
            characters.setdefault(code, name)
    font.setGlyphOrder(order)
    font["glyf"].glyphOrder = order
    font["maxp"].numGlyphs = len(order)
    font["post"].formatType = 2.0
    font["post"].extraNames = []
    font["post"].mapping = {}
    font["cmap"].tables = cmap_tables(characters)
    # The Chinese subset's OS/2 table declares the CJK ranges and code pages; the Latin one does not.
    font["OS/2"] = TTFont(chinese)["OS/2"]
    font["OS/2"].usFirstCharIndex = min(characters)
    font["OS/2"].usLastCharIndex = min(max(characters), 0xFFFF)
    if "GSUB" in font:
        del font["GSUB"]  # empty in every subset
    font.flavor = None
    return font, len(characters)


def cmap_tables(characters):
    bmp = cmap_format_4(4)
    bmp.platformID, bmp.platEncID, bmp.language = 3, 1, 0
    bmp.cmap = {code: name for code, name in characters.items() if code <= 0xFFFF}
    tables = [bmp]
    if any(code > 0xFFFF for code in characters):
        full = cmap_format_12(12)
        full.platformID, full.platEncID, full.language = 3, 10, 0
        full.cmap = dict(characters)
        tables.append(full)
    return tables


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("package", help="the .tgz that npm pack @fontsource/long-cang made")
    parser.add_argument("--out", default=ROOT / "fonts" / "LongCang-Regular.ttf", type=pathlib.Path)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as temp:
        with tarfile.open(args.package) as archive:
            archive.extractall(temp)
        font, count = join(*subset_files(pathlib.Path(temp)))
        font.save(args.out)
        licence = pathlib.Path(temp) / "package" / "LICENSE"
        (args.out.parent / "OFL-LongCang.txt").write_text(licence.read_text())
    print(f"{args.out}: {count} characters")


if __name__ == "__main__":
    main()
