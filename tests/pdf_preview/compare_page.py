"""Page 1 of the PDF against the preview's own painting of the same page:
runs the PdfDrawing test of wine_tests.exe, which writes page.pdf and
preview.ppm (the preview's painting at 4 pixels a millimetre) into this
script's work folder, renders the PDF's first page with pdftoppm at the same
scale and compares where the two put ink.

The tolerance: the PDF is drawn by poppler with smoothed edges, the preview
by GDI on whole pixels, and the texts come from two rasterisers of the same
font (FreeType through poppler, and Wine's GDI). So a stroke may stand
TOLERANCE_PX pixel (0.25 mm on the sheet, the thinnest line's width) from
its twin, and up to UNMATCHED_SHARE of either picture's ink may have no twin
at all (edges of glyphs). Measured on this page: 0.07 % and 0.11 %. A
missing stroke or text, or one that stands half a millimetre off, leaves
far more unmatched: the preview moved by 0.25 mm leaves 1.5 %, by 0.5 mm
36 %. The script checks that the comparison sees the 0.5 mm move.
usage: compare_page.py <wine_tests.exe> <work folder>"""
import os
import shutil
import subprocess
import sys

import numpy

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PIXELS_PER_MM = 4
TOLERANCE_PX = 1
UNMATCHED_SHARE = 0.005


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    magic, width, height, depth, pixels = data.split(maxsplit=4)
    assert magic == b"P6" and depth == b"255", path
    rgb = numpy.frombuffer(pixels, dtype=numpy.uint8).reshape(int(height), int(width), 3)
    return rgb.min(axis=2) < 170  # ink: black, grey or any of the layer colours


def near(ink, radius):
    """Every pixel within `radius` pixels (across and down) of some ink."""
    out = numpy.zeros_like(ink)
    h, w = ink.shape
    for dy in range(-radius, radius + 1):
        for dx in range(-radius, radius + 1):
            out[max(0, dy):h + min(0, dy), max(0, dx):w + min(0, dx)] |= \
                ink[max(0, -dy):h + min(0, -dy), max(0, -dx):w + min(0, -dx)]
    return out


def unmatched(a, b):
    """The share of a's ink with no ink of b near it."""
    return float((a & ~near(b, TOLERANCE_PX)).sum()) / max(1, int(a.sum()))


def main():
    wine_tests, work = sys.argv[1:3]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    run = subprocess.run([os.path.join(ROOT, "tools", "wine-run.sh"), wine_tests,
                          "--gtest_filter=PdfDrawing.PageOneAsPdfAndAsThePreviewPaintsIt"],
                         env=dict(os.environ, QEL_PDF_COMPARE_OUT=work), capture_output=True, timeout=300)
    out = run.stdout.decode("utf-8", "replace")
    if run.returncode != 0 or "[  PASSED  ] 1 test." not in out or "SKIPPED" in out:
        sys.exit("the Windows side failed:\n" + out[-3000:])
    subprocess.run(["pdftoppm", "-scale-to-x", str(420 * PIXELS_PER_MM), "-scale-to-y", str(297 * PIXELS_PER_MM), "-f", "1", "-l", "1", "-singlefile",
                    os.path.join(work, "page.pdf"), os.path.join(work, "pdf")], check=True, timeout=120)
    pdf = read_ppm(os.path.join(work, "pdf.ppm"))
    preview = read_ppm(os.path.join(work, "preview.ppm"))
    failures = []
    if pdf.shape != preview.shape:
        sys.exit(f"pdftoppm gave {pdf.shape}, the preview {preview.shape}")
    ink = int(pdf.sum())
    pdf_only, preview_only = unmatched(pdf, preview), unmatched(preview, pdf)
    moved = numpy.zeros_like(preview)
    moved[:, 2:] = preview[:, :-2]
    moved_only = unmatched(pdf, moved)
    print(f"ink: PDF {ink} px, preview {int(preview.sum())} px; unmatched within {TOLERANCE_PX} px: "
          f"PDF {pdf_only:.4f}, preview {preview_only:.4f}; preview moved 0.5 mm: {moved_only:.4f}")
    if ink < 20000:
        failures.append(f"the PDF page is nearly empty ({ink} px of ink)")
    if pdf_only > UNMATCHED_SHARE:
        failures.append(f"{pdf_only:.2%} of the PDF's ink is not in the preview")
    if preview_only > UNMATCHED_SHARE:
        failures.append(f"{preview_only:.2%} of the preview's ink is not in the PDF")
    if moved_only <= UNMATCHED_SHARE:
        failures.append(f"the comparison does not see the preview moved by 0.5 mm ({moved_only:.2%})")
    for f in failures:
        print("FAIL:", f)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
