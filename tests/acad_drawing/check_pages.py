"""End-to-end check of "ACADで作図(&A)" and "DXFで作図(&X)": runs the
AcadDrawingPages tests of wine_tests.exe (the real Qel-Wirmap.exe drawing
lists into the AutoCAD stand-in, and writing the mixed list as DXF R2000 and
R12 pages itself) with a folder for the page files, then reads every page
back with ezdxf, compares the AutoCAD pages' entities with the drawing the
list must give and the DXF pages' entities with the AutoCAD pages'.
usage: check_pages.py <wine_tests.exe> <work folder>"""
import os
import shutil
import subprocess
import sys

import ezdxf

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
failures = []


def check(what, got, want):
    if got != want:
        missing = [w for w in want if w not in got] if isinstance(want, list) else None
        extra = [g for g in got if g not in want] if isinstance(got, list) else None
        if missing is not None:
            failures.append(f"{what}: missing {missing!r}, unexpected {extra!r}")
        else:
            failures.append(f"{what}: got {got!r}, want {want!r}")


def pt(v):
    return (round(v[0], 3), round(v[1], 3))


def read_page(path):
    doc = ezdxf.readfile(path)
    check(f"{path} audit errors", [e.message for e in doc.audit().errors], [])
    msp = doc.modelspace()
    lines = sorted((pt(e.dxf.start), pt(e.dxf.end), e.dxf.linetype.upper()) for e in msp.query("LINE"))
    # Left texts by their start point, centred ones by their alignment point.
    texts = sorted((e.dxf.text, pt(e.dxf.align_point) if e.dxf.halign else pt(e.dxf.insert),
                    "C" if e.dxf.halign == 1 else "L") for e in msp.query("TEXT"))
    inserts = sorted((e.dxf.name, pt(e.dxf.insert)) for e in msp.query("INSERT"))
    rects = sorted([tuple(pt(p) for p in e.get_points("xy")) for e in msp.query("LWPOLYLINE")] +
                   [tuple(pt(p) for p in e.points()) for e in msp.query("POLYLINE")])
    return lines, texts, inserts, rects


def L(x1, y1, x2, y2, lt="BYLAYER"):
    return ((x1, y1), (x2, y2), lt)


FRAME = [L(32, 240, 415, 240, "CENTER"), L(32, 90, 415, 90, "CENTER")]
# Every page starts from the template's A3 sheet.
SHEET = [("A3-SHEET", (0, 0))]

# Page 1: M1 direct (x 60), D2 digital input to a relay (100), D3 digital
# output (140), F4 feeder with earth leakage (180), A5 analogue input to
# 4-20mA (220), W6 word output (260), S7 star-delta (300), a reserve row (340).
PAGE1_LINES = FRAME + [
    L(50, 230, 400, 230),
    L(60, 230, 60, 200), L(60, 193, 60, 160), L(60, 153, 60, 144), L(60, 140, 60, 91), L(60, 89, 60, 70),
    L(100, 247, 100, 241), L(100, 239, 100, 205),
    L(140, 125, 140, 91), L(140, 89, 140, 70),
    L(180, 230, 180, 200), L(180, 193, 180, 91), L(180, 89, 180, 70),
    L(220, 245, 220, 241), L(220, 239, 220, 205),
    L(260, 125, 260, 91), L(260, 89, 260, 70),
    L(300, 230, 300, 200), L(300, 193, 300, 160), L(300, 153, 300, 144), L(300, 140, 300, 91), L(300, 89, 300, 70),
    L(300, 125, 310, 125), L(310, 125, 310, 120), L(310, 113, 310, 91), L(310, 89, 310, 65), L(305, 65, 310, 65),
    L(318, 110, 322, 110), L(318, 110, 318, 108), L(322, 110, 322, 108),
    L(320, 110, 320, 105), L(320, 98, 320, 95), L(310, 95, 320, 95),
]
PAGE1_INSERTS = SHEET + [
    ("黒丸", (60, 230)), ("1P_MCB01", (60, 200)), ("1P_MG_SW01", (60, 160)), ("TH", (60, 140)), ("端子", (60, 90)),
    ("ACM", (55, 60)),
    ("RY_A接点01", (100, 250)), ("端子", (100, 240)), ("MY-RY", (100, 200)),
    ("RY-DO", (140, 125)), ("端子", (140, 90)),
    ("黒丸", (180, 230)), ("1P_ELB01", (180, 200)), ("端子", (180, 90)),
    ("BOX", (220, 250)), ("端子", (220, 240)), ("BOX", (220, 200)),
    ("DO-BOX", (260, 125)), ("端子", (260, 90)),
    ("黒丸", (300, 230)), ("1P_MCB01", (300, 200)), ("1P_MG_SW01", (300, 160)), ("TH", (300, 140)),
    ("端子", (300, 90)), ("ACM", (295, 60)),
    ("1P_MG_SW01", (310, 120)), ("黒丸", (300, 125)), ("端子", (310, 90)), ("1P_MG_SW01", (320, 105)),
    ("黒丸", (320, 110)), ("黒丸", (310, 95)),
]
PAGE1_TEXTS = [
    ("AC 200V", (50, 232), "L"),
    ("MCCB1", (66, 200), "L"), ("NF30", (66, 195), "L"), ("20", (66, 190), "L"), ("88-1", (66, 160), "L"),
    ("SC-5", (66, 155), "L"), ("49-1", (66, 145), "L"), ("TR-5", (66, 140), "L"), ("15 A", (66, 135), "L"),
    ("ACM F-1", (60, 55), "C"), ("M1", (60, 50), "C"), ("3.7 kW", (60, 45), "C"),
    ("Tag, T02", (100, 270), "C"), ("D2", (100, 260), "C"), ("Ry", (100, 200), "C"),
    ("Tag, T03", (140, 150), "C"), ("D3", (140, 140), "C"),
    ("MCCB4", (186, 200), "L"), ("EG53", (186, 195), "L"), ("50", (186, 190), "L"),
    ("Panel No.4", (180, 55), "C"), ("F4", (180, 50), "C"), ("11 kW", (180, 45), "C"),
    ("Tag, T05", (220, 270), "C"), ("A5", (220, 260), "C"), ("AI", (220, 250), "L"), ("4-20mA", (220, 200), "L"),
    ("Tag, T06", (260, 150), "C"), ("W6", (260, 140), "C"), ("Wo BCD", (260, 130), "L"),
    ("MCCB7", (306, 200), "L"), ("NF100", (306, 195), "L"), ("100", (306, 190), "L"), ("88-7", (306, 160), "L"),
    ("SC-N2", (306, 155), "L"), ("49-7", (306, 145), "L"), ("TR-N2", (306, 140), "L"), ("40 A", (306, 135), "L"),
    ("ACM F-7", (300, 55), "C"), ("S7", (300, 50), "C"), ("22 kW", (300, 45), "C"),
    ("19-7", (316, 125), "L"), ("SC-4", (316, 120), "L"), ("16-7", (326, 105), "L"), ("SC-N1", (326, 100), "L"),
]
PAGE1_RECTS = [((170, 60), (195, 60), (195, 70), (170, 70))]

# Page 2, after the reserve row: no frame lines; A9 analogue output (60),
# R10 reversing with earth leakage (100, no bus: not first on the page),
# W11 word input to a PLC (140), A12 analogue input to a controller (180).
PAGE2_LINES = [
    L(60, 125, 60, 91), L(60, 89, 60, 70),
    L(100, 230, 100, 200), L(100, 193, 100, 160), L(100, 170, 120, 170), L(120, 170, 120, 160),
    L(120, 153, 120, 145), L(120, 145, 100, 145), L(100, 153, 100, 134), L(100, 130, 100, 91), L(100, 89, 100, 70),
    L(140, 245, 140, 241), L(140, 239, 140, 205),
    L(180, 245, 180, 241), L(180, 239, 180, 205),
]
PAGE2_INSERTS = SHEET + [
    ("DO-BOX", (60, 125)), ("端子", (60, 90)),
    ("黒丸", (100, 230)), ("1P_ELB01", (100, 200)), ("1P_MG_SW01", (100, 160)), ("黒丸", (100, 170)),
    ("1P_MG_SW01", (120, 160)), ("黒丸", (100, 145)), ("TH", (100, 130)), ("端子", (100, 90)), ("ACM", (95, 60)),
    ("BOX", (140, 250)), ("端子", (140, 240)), ("BOX", (140, 200)),
    ("BOX", (180, 250)), ("端子", (180, 240)), ("cont", (180, 200)),
]
PAGE2_TEXTS = [
    ("Tag, T09", (60, 150), "C"), ("A9", (60, 140), "C"), ("1-5V", (60, 130), "L"),
    ("MCCB10", (106, 200), "L"), ("EG33", (106, 195), "L"), ("10", (106, 190), "L"),
    ("88F-10", (106, 160), "L"), ("SC-03", (106, 155), "L"), ("88R-10", (126, 160), "L"), ("SC-03", (126, 155), "L"),
    ("49-10", (106, 135), "L"), ("TR-0N", (106, 130), "L"), ("3.6 A", (106, 125), "L"),
    ("ACM F-10", (100, 55), "C"), ("R10", (100, 50), "C"), ("1.5 kW", (100, 45), "C"),
    ("BCD", (140, 250), "L"), ("Tag, T11", (140, 270), "C"), ("W11", (140, 260), "C"), ("Wi BCD", (140, 200), "L"),
    ("Tag, T12", (180, 270), "C"), ("A12", (180, 260), "C"), ("Temp", (180, 250), "L"), ("C", (180, 200), "L"),
]


def check_page(name, path, lines, texts, inserts, rects):
    if not os.path.exists(path):
        failures.append(f"{path} was not written")
        return
    got = read_page(path)
    for what, g, want in zip(("lines", "texts", "inserts", "rectangles"), got, (lines, texts, inserts, rects)):
        check(f"{name} {what}", g, sorted(want))


def main():
    wine_tests, work = sys.argv[1:3]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    env = dict(os.environ, QEL_ACAD_DRAWING_OUT="Z:" + work.replace("/", "\\"))
    run = subprocess.run([os.path.join(ROOT, "tools", "wine-run.sh"), wine_tests, "--gtest_filter=AcadDrawingPages.*"],
                         env=env, capture_output=True, timeout=600)
    out = run.stdout.decode("utf-8", "replace")
    check("wine_tests exit code", run.returncode, 0)
    check("Windows side passed all three", "[  PASSED  ] 3 tests." in out and "SKIPPED" not in out, True)

    mixed = os.path.join(work, "mixed")
    check_page("page 1", os.path.join(mixed, "plant1.DWG"), PAGE1_LINES, PAGE1_TEXTS, PAGE1_INSERTS, PAGE1_RECTS)
    check_page("page 2", os.path.join(mixed, "plant2.DWG"), PAGE2_LINES, PAGE2_TEXTS, PAGE2_INSERTS, [])
    check("no page 3", os.path.exists(os.path.join(mixed, "plant3.DWG")), False)
    # An empty first NAME: the template with its frame lines, nothing else.
    check_page("empty list page 1", os.path.join(work, "empty", "blank1.DWG"), FRAME, [], SHEET, [])

    # "DXFで作図" of the same list, in both versions: page for page, the
    # entities the stand-in saved, as multisets with their coordinates.
    for version in ("dxf2000", "dxf12"):
        for page in (1, 2):
            dxf_page = os.path.join(work, version, f"plant{page}.dxf")
            acad_page = os.path.join(mixed, f"plant{page}.DWG")
            if not os.path.exists(dxf_page) or not os.path.exists(acad_page):
                failures.append(f"{dxf_page} or {acad_page} was not written")
                continue
            for what, d, a in zip(("lines", "texts", "inserts", "rectangles"), read_page(dxf_page), read_page(acad_page)):
                check(f"{version} page {page} {what} against the AutoCAD page", d, a)
        check(f"{version} no page 3", os.path.exists(os.path.join(work, version, "plant3.dxf")), False)

    if failures:
        print("\n".join(failures))
        print(out)
        print(run.stderr.decode("utf-8", "replace")[-4000:])
        return 1
    print("acad drawing end to end passed: 3 AutoCAD pages read back, 4 DXF pages equal to them")
    return 0


if __name__ == "__main__":
    sys.exit(main())
