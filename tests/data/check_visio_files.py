#!/usr/bin/python3
"""Reads data/qel-ms.vss and data/qel-ms.vsd with Python's own XML parser and
checks what the Visio drawing relies on: the master names, the custom
properties, where each symbol meets the lines drawn to it, that neighbouring
columns stay clear of each other, the one page, and that the files are what
the generator writes today.

    /usr/bin/python3 tests/data/check_visio_files.py <data folder>
"""

import filecmp
import math
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

NS = "{http://schemas.microsoft.com/visio/2003/core}"
MM = 25.4
DATA = None

WITH_TEXTS = [
    "1P-MCB", "1P-ELB", "1P-MgSW", "1P-TH", "motor", "panel", "Di-A", "Di-LS",
    "Do-Ry", "Do-Tr", "Do-", "Ao-1", "Ao-4", "Ao-", "Wi-B", "Wo-B",
    "ISO-Ry-R", "PLC", "IND", "PEN", "Ai-1", "Ai-4"]
WITHOUT_TEXTS = [
    "line", "FR-LINE", "DELTA", "STAR", "STAR-LINE", "terminal",
    "Ai-T", "Ai-F", "Ai-P", "Ai-L", "Ai-"]

INPUT_FIELD = ["Di-A", "Di-LS", "Ai-T", "Ai-F", "Ai-P", "Ai-L", "Ai-", "Wi-B"]
RECEIVER = ["ISO-Ry-R", "PLC", "IND", "PEN", "Ai-1", "Ai-4"]
OUTPUT_FIELD = ["Do-Ry", "Do-Tr", "Do-", "Ao-1", "Ao-4", "Ao-", "Wo-B"]

# Where the drawing drops each master in a column at X = 0 (mm), and the
# points where the lines drawn to it, or the symbols beside it, end.
DROPS = [
    ("line", (0, 213.5), [(0, 207), (0, 220)]),
    ("1P-MCB", (0, 200), [(0, 200), (0, 207)]),
    ("1P-ELB", (0, 200), [(0, 200), (0, 207)]),
    ("1P-MgSW", (0, 150), [(0, 150), (0, 157)]),
    ("1P-MgSW", (20, 150), [(20, 150), (20, 157)]),
    ("FR-LINE", (0, 143), [(0, 143), (20, 150), (20, 157)]),
    ("1P-TH", (0, 130), [(0, 130), (0, 137)]),
    ("motor", (0, 60), [(0, 70), (5, 65)]),
    ("panel", (0, 60), [(0, 70)]),
    ("1P-MgSW", (10, 115), [(10, 115), (10, 122)]),
    ("1P-MgSW", (20, 105), [(20, 105), (20, 112)]),
    ("DELTA", (0, 122), [(0, 122), (10, 122)]),
    ("STAR", (20, 113.5), [(20, 112)]),
    ("STAR-LINE", (10, 103), [(10, 103), (20, 105)]),
    ("terminal", (0, 90), []),
    ("terminal", (10, 90), []),
    ("terminal", (0, 240), []),
] + [(m, (0, 250), [(0, 250)]) for m in INPUT_FIELD] \
  + [(m, (0, 200), [(0, 210)]) for m in RECEIVER] \
  + [(m, (0, 130), [(0, 130)]) for m in OUTPUT_FIELD]


def number(element, name):
    return float(element.find(NS + name).text)


def masters():
    root = ET.parse(os.path.join(DATA, "qel-ms.vss")).getroot()
    return root, root.findall(f"{NS}Masters/{NS}Master")


def shape_of(master):
    return master.find(f"{NS}Shapes/{NS}Shape")


def placed(master, drop):
    """The shape's box, text box, line segments, circles and connection
    points in page mm when dropped at drop."""
    shape = shape_of(master)
    xf = shape.find(NS + "XForm")
    ox = drop[0] - number(xf, "LocPinX") * MM
    oy = drop[1] - number(xf, "LocPinY") * MM
    page = lambda x, y: (ox + x * MM, oy + y * MM)
    box = (ox, oy, ox + number(xf, "Width") * MM, oy + number(xf, "Height") * MM)
    segments, circles = [], []
    for geom in shape.findall(NS + "Geom"):
        last = None
        for row in geom:
            if row.tag in (NS + "MoveTo", NS + "LineTo"):
                point = page(number(row, "X"), number(row, "Y"))
                if row.tag == NS + "LineTo":
                    segments.append((last, point))
                last = point
            elif row.tag == NS + "Ellipse":
                c = page(number(row, "X"), number(row, "Y"))
                a = page(number(row, "A"), number(row, "B"))
                circles.append((c, math.dist(c, a)))
    connections = [page(number(c, "X"), number(c, "Y"))
                   for c in shape.findall(NS + "Connection")]
    text_box = None
    txf = shape.find(NS + "TextXForm")
    if txf is not None:
        x0, y0 = page(number(txf, "TxtPinX") - number(txf, "TxtLocPinX"),
                      number(txf, "TxtPinY") - number(txf, "TxtLocPinY"))
        text_box = (x0, y0, x0 + number(txf, "TxtWidth") * MM,
                    y0 + number(txf, "TxtHeight") * MM)
    return box, text_box, segments, circles, connections


def off_segment(p, segment):
    (ax, ay), (bx, by) = segment
    length2 = (bx - ax) ** 2 + (by - ay) ** 2
    t = 0 if length2 == 0 else max(0, min(1, (
        (p[0] - ax) * (bx - ax) + (p[1] - ay) * (by - ay)) / length2))
    return math.dist(p, (ax + t * (bx - ax), ay + t * (by - ay)))


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


class Stencil(unittest.TestCase):
    def setUp(self):
        self.root, self.masters = masters()
        self.by_name = {m.get("NameU"): m for m in self.masters}

    def test_document_and_names(self):
        self.assertEqual(self.root.tag, NS + "VisioDocument")
        names = [m.get("NameU") for m in self.masters]
        self.assertEqual(len(names), 33)
        self.assertEqual(sorted(names), sorted(WITH_TEXTS + WITHOUT_TEXTS))
        self.assertEqual([m.get("Name") for m in self.masters], names)
        self.assertEqual(len({m.get("ID") for m in self.masters}), 33)

    def test_custom_properties_and_text_fields(self):
        for name, master in self.by_name.items():
            with self.subTest(master=name):
                shape = shape_of(master)
                props = [p.get("NameU") for p in shape.findall(NS + "Prop")]
                formulas = [v.get("F") for v in
                            shape.findall(f"{NS}Field/{NS}Value")]
                if name in WITH_TEXTS:
                    self.assertEqual(props, ["Row_2", "Row_3", "Row_4"])
                    self.assertEqual(formulas, ["Prop.Row_2", "Prop.Row_3",
                                                "Prop.Row_4"])
                    self.assertIsNotNone(shape.find(NS + "TextXForm"))
                    self.assertEqual(len(shape.findall(f"{NS}Text/{NS}fld")), 3)
                else:
                    self.assertEqual(props, [])
                    self.assertIsNone(shape.find(NS + "Text"))

    def test_geometry_stays_inside_the_shape(self):
        for name, master in self.by_name.items():
            with self.subTest(master=name):
                box, _, segments, circles, connections = placed(master, (0, 0))
                self.assertTrue(segments or circles)
                self.assertTrue(connections)
                points = [p for s in segments for p in s] + connections + [
                    (c[0] + dx * r, c[1] + dy * r) for c, r in circles
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))]
                for x, y in points:
                    self.assertTrue(box[0] - 1e-3 <= x <= box[2] + 1e-3 and
                                    box[1] - 1e-3 <= y <= box[3] + 1e-3,
                                    (x, y, box))

    def test_symbols_meet_their_lines(self):
        for name, drop, ends in DROPS:
            with self.subTest(master=name, drop=drop):
                _, _, segments, circles, connections = placed(
                    self.by_name[name], drop)
                for end in ends:
                    self.assertTrue(any(math.dist(end, c) < 0.01
                                        for c in connections), end)
                    self.assertTrue(
                        any(off_segment(end, s) < 0.01 for s in segments) or
                        any(abs(math.dist(end, c) - r) < 0.01
                            for c, r in circles), end)

    def test_terminal_sits_on_its_line(self):
        box, _, _, circles, _ = placed(self.by_name["terminal"], (0, 90))
        self.assertEqual(len(circles), 1)
        self.assertLess(math.dist(circles[0][0], (0, 90)), 0.01)
        self.assertLess(circles[0][1], 3)

    def test_neighbouring_columns_stay_clear(self):
        column = []
        for name, drop, _ in DROPS:
            box, text_box, *_ = placed(self.by_name[name], drop)
            column += [(name, box)] + ([(name, text_box)] if text_box else [])
        for left, a in column:
            for right, b in column:
                shifted = (b[0] + 40, b[1], b[2] + 40, b[3])
                self.assertFalse(overlap(a, shifted), (left, right))


class Drawing(unittest.TestCase):
    def test_one_empty_a3_page_at_full_scale(self):
        root = ET.parse(os.path.join(DATA, "qel-ms.vsd")).getroot()
        self.assertEqual(root.tag, NS + "VisioDocument")
        pages = root.findall(f"{NS}Pages/{NS}Page")
        self.assertEqual(len(pages), 1)
        props = pages[0].find(f"{NS}PageSheet/{NS}PageProps")
        self.assertGreaterEqual(number(props, "PageWidth") * MM, 420 - 1e-3)
        self.assertGreaterEqual(number(props, "PageHeight") * MM, 297 - 1e-3)
        self.assertEqual(number(props, "PageScale"),
                         number(props, "DrawingScale"))
        self.assertEqual(pages[0].findall(f".//{NS}Shape"), [])


class Generator(unittest.TestCase):
    def test_files_are_what_the_generator_writes(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable,
                            os.path.join(DATA, "make-visio-files.py"), out],
                           check=True, timeout=60)
            for name in ("qel-ms.vss", "qel-ms.vsd"):
                self.assertTrue(filecmp.cmp(os.path.join(out, name),
                                            os.path.join(DATA, name),
                                            shallow=False),
                                name + " is out of date: run "
                                "data/make-visio-files.py")


if __name__ == "__main__":
    DATA = sys.argv.pop(1)
    unittest.main(verbosity=1)
