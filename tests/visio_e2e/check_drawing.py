#!/usr/bin/python3
"""Has the real Qel-Wirmap.exe draw a twenty-row list into the Visio stand-in
(one Wine test case, VisioDrawingEndToEnd.TwentyRowsDrawnForTheSvgReader),
which saves its pages as SVG; then reads them with Python's own XML parser
and compares pages, symbols, positions and texts with the values that list
must give.
Usage: check_drawing.py <wine-run.sh> <wine_tests.exe>"""
import collections
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from svg_drawing import SVG_NS, check, draw_pages, report  # noqa: E402

SVG = "{%s}" % SVG_NS


def drops(page):
    """(master, x, y) -> list of {property: text} for each dropped symbol."""
    found = collections.defaultdict(list)
    for g in page.iter(SVG + "g"):
        if g.get("class") == "master":
            key = (g.get("data-master"), round(float(g.get("data-x")), 2), round(float(g.get("data-y")), 2))
            found[key].append({t.get("data-property"): t.text for t in g.findall(SVG + "text")})
    return found


def lines(page):
    """Every line as (x1, y1, x2, y2) in page millimetres, y upwards."""
    out = []
    height = float(page.get("viewBox").split()[3])
    for g in page.iter(SVG + "g"):
        if g.get("class") == "line":
            ln = g.find(SVG + "line")
            x1, y1, x2, y2 = (float(ln.get(k)) for k in ("x1", "y1", "x2", "y2"))
            out.append(tuple(round(v, 2) for v in (x1, height - y1, x2, height - y2)))
    return sorted(out)


# Every drop of pages 2 and 3, with the texts of those that receive them
# (an empty text is not shown, so an empty Row_4 is absent).
PAGE2 = {
    ("Di-A", 90, 250): {"Row_2": "LS-10 満水", "Row_3": "Di-"},  # type "Di-" drops the generic symbol
    ("ISO-Ry-R", 90, 200): {"Row_2": "LS-10 満水", "Row_3": "Di-"},
    ("terminal", 90, 240): {},
    ("Di-LS", 130, 250): {"Row_2": "LS-11", "Row_3": "Di-LS"},
    ("PLC", 130, 200): {"Row_2": "LS-11", "Row_3": "Di-LS"},
    ("terminal", 130, 240): {},
    ("Do-Tr", 170, 130): {"Row_2": "Y-12", "Row_3": "Do-Tr"},
    ("terminal", 170, 90): {},
    ("Ai-T", 210, 250): {},  # analogue sensors get no texts
    ("IND", 210, 200): {"Row_2": "TE-13", "Row_3": "Ai-T"},
    ("terminal", 210, 240): {},
    ("Ai-P", 250, 250): {},
    ("PEN", 250, 200): {"Row_2": "PT-14", "Row_3": "Ai-P"},
    ("terminal", 250, 240): {},
    ("Ai-L", 290, 250): {},
    ("Ai-1", 290, 200): {"Row_2": "LT-15", "Row_3": "Ai-L"},
    ("terminal", 290, 240): {},
    ("Ai-", 330, 250): {},
    ("Ai-4", 330, 200): {"Row_2": "AT-16", "Row_3": "Ai-"},
    ("terminal", 330, 240): {},
}
PAGE2_LINES = sorted([(x, 210, x, 250) for x in (90, 130, 210, 250, 290, 330)] + [(170, 80, 170, 130)])

PAGE3 = {
    ("line", 50, 213.5): {},
    ("1P-MCB", 50, 200): {"Row_2": "MCCB17", "Row_3": "SA33", "Row_4": "10A"},
    ("1P-MgSW", 50, 150): {"Row_2": "88-17", "Row_3": "SC-03", "Row_4": " "},
    ("1P-TH", 50, 130): {"Row_2": "49-17", "Row_3": "TR-0N", "Row_4": "3.6A"},
    ("motor", 50, 60): {"Row_2": "ACM F-17", "Row_3": "P-17", "Row_4": "0.75kw"},
    ("terminal", 50, 90): {},
    ("Ao-4", 90, 130): {"Row_2": "CV-18", "Row_3": "Ao-4"},
    ("terminal", 90, 90): {},
    ("Wi-B", 130, 250): {"Row_2": "WI-19", "Row_3": "Wi-B"},
    ("PLC", 130, 200): {"Row_2": "WI-19", "Row_3": "Wi-B"},
    ("terminal", 130, 240): {},
    ("Wo-B", 170, 130): {"Row_2": "WO-20", "Row_3": "Wo-B"},
    ("terminal", 170, 90): {},
}
PAGE3_LINES = sorted([(30, 220, 400, 220), (50, 157, 50, 200), (50, 137, 50, 150), (50, 70, 50, 130),
                      (90, 80, 90, 130), (130, 210, 130, 250), (170, 80, 170, 130)])

# Page 1: how many of each symbol, and the texts of a few.
PAGE1_COUNTS = {"line": 8, "1P-MCB": 4, "1P-ELB": 4, "1P-MgSW": 12, "FR-LINE": 2, "1P-TH": 6, "motor": 6,
                "DELTA": 2, "STAR": 2, "STAR-LINE": 2, "terminal": 10, "panel": 2}
PAGE1_TEXTS = {
    ("1P-MCB", 50, 200): {"Row_2": "MCCB1", "Row_3": "SA33", "Row_4": "15A"},
    ("1P-MgSW", 50, 150): {"Row_2": "88-1", "Row_3": "SC-5-1", "Row_4": " "},
    ("1P-TH", 50, 130): {"Row_2": "49-1", "Row_3": "TR-5-1", "Row_4": "4.2A"},
    ("motor", 50, 60): {"Row_2": "ACM F-1", "Row_3": "P-1 給水ポンプ", "Row_4": "3.7kw"},
    ("1P-MgSW", 90, 150): {"Row_2": "88F-2", "Row_3": "SC-4-1"},
    ("1P-MgSW", 110, 150): {"Row_2": "88R-2", "Row_3": "SC-4-1"},
    ("motor", 90, 60): {"Row_2": "ACM F-2", "Row_3": 'C-2 "コンベヤ"', "Row_4": "5.5kw"},
    ("1P-MgSW", 140, 115): {"Row_2": "19-3", "Row_3": "SC-N2S"},
    ("1P-MgSW", 150, 105): {"Row_2": "6-3", "Row_3": "SC-N1"},
    ("motor", 130, 60): {"Row_2": "ACM F-3", "Row_3": "F-3 送風機&<排気>", "Row_4": "37kw"},
    ("panel", 170, 60): {"Row_2": "Panel No.4", "Row_3": "分電盤 ソ表-1", "Row_4": "10kw"},
    ("1P-ELB", 210, 200): {"Row_2": "ELCB5", "Row_3": "EA33", "Row_4": "20A"},
    ("1P-TH", 250, 130): {"Row_2": "49-6", "Row_3": "TR-5-1", "Row_4": "A"},  # empty cells: the suffix alone
    ("motor", 250, 60): {"Row_2": "ACM F-6", "Row_3": "M-6", "Row_4": "kw"},
    ("1P-MgSW", 270, 150): {"Row_2": "88R-6", "Row_3": "SC-4-1"},
    ("1P-MgSW", 300, 115): {"Row_2": "19-7", "Row_3": "SC-N2S"},
    ("panel", 330, 60): {"Row_2": "Panel No.8", "Row_3": "盤-8", "Row_4": "7.5kw"},
}
SLOTS = [50, 90, 130, 170, 210, 250, 290, 330]


def check_exact(page, expected, name):
    got = drops(page)
    for key, texts in expected.items():
        check(got.get(key) == [texts], "%s: %s has %s, expected %s" % (name, key, got.get(key), texts))
    extra = sorted(set(got) - set(expected))
    check(not extra, "%s: unexpected drops %s" % (name, extra))


def main():
    wine_run, tests_exe = sys.argv[1], sys.argv[2]
    drawn = draw_pages(wine_run, tests_exe, "VisioDrawingEndToEnd.TwentyRowsDrawnForTheSvgReader",
                       "QEL_VISIO_E2E_SVG_DIR", 600)
    if drawn is None:
        return 1
    names, saved = drawn
    if names != ["page1.svg", "page2.svg", "page3.svg"]:
        print("FAILED: pages saved: %s" % names)
        return 1
    pages = [saved[n] for n in names]

    check([p.find(SVG + "title").text for p in pages] == ["Page-1", "dwg2", "dwg3"],
          "page names %s" % [p.find(SVG + "title").text for p in pages])

    page1 = drops(pages[0])
    counts = collections.Counter()
    for (master, _, _), found in page1.items():
        counts[master] += len(found)
    check(dict(counts) == PAGE1_COUNTS, "page 1 symbols %s" % dict(counts))
    check(sorted(x for (m, x, y) in page1 if m == "line") == SLOTS, "page 1 slot positions")
    check(sorted(x for (m, x, y) in page1 if m == "terminal" and y == 90) == sorted(SLOTS + [140, 300]),
          "page 1 terminals, a second one for each star-delta")
    for key, texts in PAGE1_TEXTS.items():
        found = page1.get(key)
        check(found is not None and len(found) == 1 and all(found[0].get(k) == v for k, v in texts.items()),
              "page 1: %s has %s, expected %s" % (key, found, texts))
    check(len(lines(pages[0])) == 25 and (30, 220, 400, 220) in lines(pages[0]), "page 1 lines and the bus")

    # Page 2 starts with the reserve row: slot 1 empty, and no bus.
    check_exact(pages[1], PAGE2, "page 2")
    check(lines(pages[1]) == PAGE2_LINES, "page 2 lines %s" % lines(pages[1]))
    check_exact(pages[2], PAGE3, "page 3")
    check(lines(pages[2]) == PAGE3_LINES, "page 3 lines %s" % lines(pages[2]))

    return report()


if __name__ == "__main__":
    sys.exit(main())
