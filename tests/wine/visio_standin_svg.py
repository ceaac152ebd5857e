#!/usr/bin/python3
"""Has the Visio stand-in draw two pages through COM (one Wine test case) and
save them as SVG, then reads the files with Python's own XML parser: page
size, where each dropped master's symbol lies, and the texts beside it.
Usage: visio_standin_svg.py <wine-run.sh> <wine_tests.exe>"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from svg_drawing import SVG_NS, check, draw_pages, report  # noqa: E402

NS = {"s": SVG_NS}


def near(a, b):
    return abs(float(a) - b) < 0.01


def masters(root, name):
    return [g for g in root.iter("{%s}g" % NS["s"]) if g.get("data-master") == name]


def texts(group):
    return {t.get("data-property"): t for t in group.findall("s:text", NS)}


def main():
    wine_run, tests_exe = sys.argv[1], sys.argv[2]
    drawn = draw_pages(wine_run, tests_exe, "VisioStandin.DrawsPagesForTheSvgReader", "QEL_VISIO_SVG_DIR", 300)
    if drawn is None:
        return 1
    names, saved = drawn
    check(names == ["page1.svg", "page2.svg"], "files written: %s" % names)
    page1, page2 = saved["page1.svg"], saved["page2.svg"]

    # A3 landscape, millimetres as user units, y from the top.
    check(page1.tag == "{%s}svg" % NS["s"], "root element %s" % page1.tag)
    check((page1.get("width"), page1.get("height"), page1.get("viewBox")) == ("420mm", "297mm", "0 0 420 297"),
          "page size %s %s %s" % (page1.get("width"), page1.get("height"), page1.get("viewBox")))
    check(page1.find("s:title", NS).text == "Page-1", "page 1 title")
    check(page2.find("s:title", NS).text == "dwg2", "page 2 title")

    # The bus at 220 mm from the bottom is 77 mm from the top.
    lines = [g.find("s:line", NS) for g in page1.iter("{%s}g" % NS["s"]) if g.get("class") == "line"]
    check(len(lines) == 1, "one line on page 1, got %d" % len(lines))
    if lines:
        check([float(lines[0].get(k)) for k in ("x1", "y1", "x2", "y2")] == [30, 77, 400, 77], "bus position")

    motor = masters(page1, "motor")
    check(len(motor) == 1, "one motor on page 1")
    if motor:
        e = motor[0].find("s:ellipse", NS)
        check(near(e.get("cx"), 50) and near(e.get("cy"), 237) and near(e.get("rx"), 10) and near(e.get("ry"), 10),
              "motor circle centred on its drop point (50, 60)")
        t = texts(motor[0])
        check([t[k].text for k in ("Row_2", "Row_3", "Row_4")] == ["ACM F-1", '電動機 "1"', "3.7kw"], "motor texts")
        # Its text block starts 22 mm right of the shape's left edge; lines 3.2 mm apart from the block's top.
        check(near(t["Row_2"].get("x"), 62.5) and near(t["Row_2"].get("y"), 239.85), "Row_2 position")
        check(near(t["Row_3"].get("y"), 243.05) and near(t["Row_4"].get("y"), 246.25), "text line spacing")

    breaker = masters(page1, "1P-MCB")
    check(len(breaker) == 1, "one breaker")
    if breaker:
        d = breaker[0].find("s:path", NS).get("d").replace("M", "").split("L")
        points = [tuple(float(v) for v in p.split()) for p in d]
        # From the pin (90, 200) down 0.4 in; the arc bows 0.1 in to the left.
        check(points[0] == (90, 97) and near(points[-1][0], 90) and near(points[-1][1], 107.16), "breaker ends")
        check(near(min(p[0] for p in points), 87.46), "breaker arc bow, min x %s" % min(p[0] for p in points))
        t = texts(breaker[0])
        check(t["Row_3"].text == "NF32 & <x>", "markup characters survive")
        check(near(t["Row_2"].get("x"), 93.54), "texts right of a shape without a text block")

    terminal = masters(page1, "terminal")
    check(len(terminal) == 1 and near(terminal[0].find("s:ellipse", NS).get("cy"), 207), "terminal at (50, 90)")

    probe = masters(page1, "probe")
    check(len(probe) == 1, "one probe")
    if probe:
        # Its nested shape starts 0.2 in right of the drop point (200, 100); the
        # arc from (0, 0.1) to (0.2, 0.1) bows 0.1 in upwards; the geometry
        # without line is not drawn.
        paths = probe[0].findall("s:path", NS)
        check(len(paths) == 1 and not probe[0].findall("s:line", NS), "only the arc is drawn")
        if paths:
            points = [tuple(float(v) for v in p.split()) for p in paths[0].get("d").replace("M", "").split("L")]
            check(points[0] == (205.08, 194.46) and points[-1] == (210.16, 194.46), "arc ends %s %s" % (points[0], points[-1]))
            check(near(min(p[1] for p in points), 191.92), "arc top %s" % min(p[1] for p in points))
        e = probe[0].find("s:ellipse", NS)
        check(near(e.get("cx"), 207.62) and near(e.get("cy"), 194.46) and near(e.get("rx"), 3.81) and near(e.get("ry"), 1.27),
              "ellipse given vertical axis first")
    check(page2.get("width") == "420mm" and page2.get("height") == "297mm", "an added page has the first page's size")

    motor2 = masters(page2, "motor")
    check(len(motor2) == 1 and near(motor2[0].find("s:ellipse", NS).get("cx"), 90), "page 2 motor at x 90")
    check(len(masters(page2, "terminal")) == 0 and not page2.findall(".//s:line", NS), "page 2 holds only its motor")
    if motor2:
        check(texts(motor2[0])["Row_2"].text == "P2", "page 2 text")

    return report()


if __name__ == "__main__":
    sys.exit(main())
