"""Printing from the drawing preview, read back with Ghostscript: runs the
PrintDrawing test of wine_tests.exe, which prints a two-page list through
Wine's PostScript driver into files of this script's work folder (every
page on an A3 printer from the print dialog, page 2 alone on an A4-only
printer, page 1 on printers of 600 and 600 x 300 dpi, page 2 alone chosen in the dialog
opened by Ctrl+P), then interprets the PostScript with Ghostscript: page count,
paper, and the texts each page shows with where they start. Wine's driver
sends the texts as glyphs of the Japanese font by glyph name; the font's
own character map (read with fontTools) turns them back into characters.
usage: check_print.py <wine_tests.exe> <work folder>"""
import os
import re
import shutil
import subprocess
import sys

from fontTools.ttLib import TTFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"  # what the prefix shows for ＭＳ ゴシック
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


# Every glyph shown prints its name; every moveto starts a new text and
# prints where it is, in points of the upright paper's own coordinates (from
# its bottom-left corner); every showpage ends a page.
GS_READER = ("/glyphshow { =only ( ) print } bind def "
             "/moveto { moveto currentpoint transform matrix defaultmatrix itransform "
             "(\\n@) print exch round =only ( ) print round =only ( ) print } bind def "
             "/showpage { (\\n--page--) = } bind def")


def pages_of(ps):
    glyphs = {}
    for code, name in TTFont(FONT).getBestCmap().items():
        glyphs.setdefault(name, chr(code))
    run = subprocess.run(["gs", "-q", "-dNODISPLAY", "-dBATCH", "-dNOPAUSE", "-c", GS_READER, "-f", ps],
                         capture_output=True, text=True, timeout=120)
    check(f"{ps}: Ghostscript exit code", run.returncode, 0)
    pages = []
    for page in run.stdout.split("--page--")[:-1]:
        texts = []
        for m in re.finditer(r"@(-?\d+)(?:\.0)? (-?\d+)(?:\.0)? ([^@]*)", page):
            names = m.group(3).split()
            if names:
                texts.append(("".join(glyphs.get(n, "?") for n in names), int(m.group(1)), int(m.group(2))))
        pages.append(texts)
    return pages


def pdfinfo(ps, work):
    pdf = os.path.join(work, os.path.basename(ps) + ".pdf")
    subprocess.run(["ps2pdf", ps, pdf], check=True, timeout=120)
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    fields = dict(line.split(":", 1) for line in info.splitlines() if ":" in line)
    return fields["Pages"].strip(), fields["Page size"].strip(), fields["Page rot"].strip()


TITLE_BLOCK = ["図面名称", "図番", "頁", "作成", "照査", "承認", "日付", "改訂"]


def circuit(n):
    return [f"MCCB{n}", f"88-{n}", f"49-{n}", " A", "M", f"ACM F-{n}", f"M{n}", " kW"]


def main():
    wine_tests, work = sys.argv[1:3]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    run = subprocess.run([os.path.join(ROOT, "tools", "wine-run.sh"), wine_tests, "--gtest_filter=PrintDrawing.*"],
                         env=dict(os.environ, QEL_PRINT_OUT=work), capture_output=True, timeout=300)
    out = run.stdout.decode("utf-8", "replace")
    check("wine_tests exit code", run.returncode, 0)
    check("Windows side passed", "[  PASSED  ] 1 test." in out and "SKIPPED" not in out, True)

    a3 = os.path.join(work, "a3.ps")
    # A3 turned to landscape, both pages.
    check("A3 printer: pages, paper, turn", pdfinfo(a3, work), ("2", "842 x 1191 pts (A3)", "90"))
    pages = pages_of(a3)
    check("A3 printer: pages Ghostscript shows", len(pages), 2)
    if len(pages) == 2:
        texts = [t for t, _, _ in pages[0]]
        # The date changes from day to day; everything else is literal.
        check("page 1 texts", [t for t in texts if "/" not in t],
              TITLE_BLOCK + ["AC V"] + sum((circuit(n) for n in range(1, 9)), []))
        check("page 1's page number", "1 / 2" in texts, True)
        check("page 2 texts", [t for t, _, _ in pages[1] if "/" not in t], TITLE_BLOCK + ["AC V"] + circuit(9))
        # 1:1: MCCB1 stands at x 66 mm, y 200 mm of the 420 x 297 mm sheet.
        # On the upright A3 paper that the landscape page lies across, that is
        # 97 mm (275 points) across from the left and 66 mm (187 points) up.
        check("MCCB1 on A3, in points", [(x, y) for t, x, y in pages[0] if t == "MCCB1"], [(275, 187)])

    a4 = os.path.join(work, "a4.ps")
    check("A4 printer: pages, paper, turn", pdfinfo(a4, work), ("1", "595 x 842 pts (A4)", "90"))
    a4pages = pages_of(a4)
    check("A4 printer: page 2 alone", [[t for t, _, _ in p if t.startswith("M")] for p in a4pages],
          [["MCCB9", "M", "M9"]])

    # 600 dpi across and 300 down prints page 1 as a square 600 dpi printer
    # does (both portrait, fitted): the same texts within a point.
    portrait, coarse = os.path.join(work, "portrait.ps"), os.path.join(work, "coarse.ps")
    check("600 x 300 dpi: pages, paper, turn", pdfinfo(coarse, work), ("1", "842 x 1191 pts (A3)", "0"))
    square, uneven = pages_of(portrait), pages_of(coarse)
    check("600 x 300 dpi: texts", [[t for t, _, _ in p] for p in uneven], [[t for t, _, _ in p] for p in square])
    apart = [(t, x - x2, y - y2) for p, p2 in zip(uneven, square) for (t, x, y), (_, x2, y2) in zip(p, p2)
             if abs(x - x2) > 1 or abs(y - y2) > 1]
    check("600 x 300 dpi: texts more than a point from where 600 dpi puts them", apart, [])

    # Ctrl+P, then pages 2 to 2 typed into the dialog.
    ranged = os.path.join(work, "range.ps")
    check("page range: pages", pdfinfo(ranged, work)[0], "1")
    check("page range: page 2's circuit", [[t for t, _, _ in p if t.startswith("M")] for p in pages_of(ranged)],
          [["MCCB9", "M", "M9"]])

    for f in failures:
        print("FAIL:", f)
    print("print_drawing:", "FAILED" if failures else "passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
