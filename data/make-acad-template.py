#!/usr/bin/python3
"""Writes data/Qel-Acad.DWG, the template drawing every AutoCAD page starts from.

The file holds DXF (R2000, ASCII, code page ANSI_932) under the DWG name: no
DWG writer exists here, and AutoCAD opens a DXF as well. It defines every
block the drawing inserts, each with its insertion base point at the point
where the drawing connects its wires, the linetype Center for the frame
lines, and the text style Standard with the fonts txt and extfont.

Run with Debian's Python, which has python3-ezdxf:

    /usr/bin/python3 data/make-acad-template.py            # rewrite the template
    /usr/bin/python3 data/make-acad-template.py --check    # exit 1 when out of date

The output is the same bytes on every run (fixed metadata, fixed handles).
"""
import io
import math
import os
import sys

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))
TARGET = os.path.join(HERE, "Qel-Acad.DWG")


def rect(block, x1, y1, x2, y2):
    block.add_lwpolyline([(x1, y1), (x2, y1), (x2, y2), (x1, y2)], close=True)


def lines(block, *points):
    """A chain of line segments through the points."""
    for a, b in zip(points, points[1:]):
        block.add_line(a, b)


# Every symbol below is drawn in drawing units around its base point (0, 0).
# Where the layout runs wires to and from a symbol fixes its extent:
#   breakers, contactors  base at the top, the wire below starts 7 lower;
#   thermal relay         base at the bottom, the wire above ends 4 higher;
#   input field devices   base at the top, the wire starts 3 (contacts) or
#                         5 (boxes) lower;
#   receivers and boxes   centred on the base, 10 x 10: the wire ends 5 above;
#   output devices        base at the bottom centre, 10 high;
#   motor                 base at the lower left of its circle of radius 5,
#                         so the wire reaches its top at (5, 10) and the
#                         star-delta lead its right side at (10, 5);
#   junction dot, terminal  centred on the base.

def breaker_blade(b):
    lines(b, (0, 0), (0, -1.5))
    lines(b, (0, -5.5), (-2.2, -1.8))
    lines(b, (0, -5.5), (0, -7))


def mcb(b):
    breaker_blade(b)
    # the trip cross of a circuit breaker on the fixed contact
    lines(b, (-0.7, -0.8), (0.7, -2.2))
    lines(b, (-0.7, -2.2), (0.7, -0.8))


def elb(b):
    mcb(b)
    # the zero-phase current transformer on the lead and its trip link
    b.add_circle((0, -6.25), 0.75)
    lines(b, (0.75, -6.25), (2.5, -6.25), (2.5, -3.7), (-1.2, -3.7))


def contactor(b):
    breaker_blade(b)
    # the arc of a contactor's main contact
    b.add_arc((0, -1.5), 0.6, 180, 360)


def thermal(b):
    # the bent heater element of a thermal overload relay
    lines(b, (0, 0), (0, 1), (1.2, 1), (1.2, 3), (0, 3), (0, 4))
    rect(b, -1.5, 0.5, 2.5, 3.5)


def a_contact(b):
    lines(b, (0, 0), (0, -0.6))
    lines(b, (0, -2.4), (-1.3, -0.8))
    lines(b, (0, -2.4), (0, -3))


def limit_switch(b):
    a_contact(b)
    # the cam of a limit switch pressing the blade
    lines(b, (-0.65, -1.6), (-1.8, -1.6))
    lines(b, (-2.2, -1.2), (-1.8, -1.6), (-2.2, -2.0))


def output_box(b):
    rect(b, -4, 0, 4, 10)


def relay_output(b):
    output_box(b)
    # an isolated relay contact inside
    lines(b, (0, 0), (0, 3.5))
    lines(b, (0, 6.5), (-1.8, 3.8))
    lines(b, (0, 6.5), (0, 8))


def transistor_output(b):
    output_box(b)
    b.add_circle((0, 5), 2.5)
    lines(b, (-1, 3.5), (-1, 6.5))
    lines(b, (-1, 5.6), (0.8, 7.2))
    lines(b, (-1, 4.4), (0.8, 2.8))
    lines(b, (0, 0), (0, 2.6))


def box(b):
    rect(b, -5, -5, 5, 5)


def controller(b):
    box(b)
    b.add_circle((0, 0), 3.5)


def relay_receiver(b):
    rect(b, -4, -5, 4, 5)
    # the coil's two leads at the bottom
    lines(b, (-2, -5), (-2, -3.5))
    lines(b, (2, -5), (2, -3.5))


def motor(b):
    b.add_circle((5, 5), 5)
    b.add_text("M", dxfattribs={"height": 4, "style": "Standard"}).set_pos((5, 5), align="MIDDLE_CENTER")


def dot(b):
    # A filled twelve-sided dot of radius 0.4, as five solids fanned from one
    # corner: every reader fills a solid, where some drop a wide polyline.
    corners = [(0.4 * math.cos(math.radians(30 * k)), 0.4 * math.sin(math.radians(30 * k))) for k in range(12)]
    for k in range(1, 11, 2):
        a, b1, c, d = corners[0], corners[k], corners[k + 1], corners[k + 2]
        b.add_solid([a, b1, d, c])  # a solid's last two corners cross


def terminal(b):
    b.add_circle((0, 0), 1)


# Block name -> how it is drawn. Japanese names go out as Shift-JIS bytes.
BLOCKS = [
    ("1P_MCB01", mcb),
    ("1P_MG_SW01", contactor),
    ("TH", thermal),
    ("1P_ELB01", elb),
    ("RY_A接点01", a_contact),
    ("LS_A接点01", limit_switch),
    ("RY-DO", relay_output),
    ("TR-DO", transistor_output),
    ("DO-BOX", output_box),
    ("cont", controller),
    ("BOX", box),
    ("MY-RY", relay_receiver),
    ("ACM", motor),
    ("黒丸", dot),
    ("端子", terminal),
]

# The A3 sheet (420 x 297), drawn in model space as one block so that the
# title block's fields are attributes of one insert. The border keeps a
# 20 mm binding margin on the left; the right one is narrower, since the
# page's frame lines reach x 415. The title block sits in the lower right,
# below the lowest texts of the page (their baselines at y 45).
SHEET = "A3-SHEET"
BORDER = (20, 5, 417, 292)
TITLE_TOP = 41
# (label, tag, prompt, label cell x1, value cell x2, row bottom y): the value
# cell runs from the label cell's right edge (x1 + 20) to x2.
FIELDS = [
    ("図面名称", "TITLE", "図面名称", 237, 417, 32),
    ("図番", "DWGNO", "図番", 237, 357, 23),
    ("頁", "PAGE", "頁 (n / N)", 357, 417, 23),
    ("作成", "DRAWN", "作成", 237, 297, 14),
    ("照査", "CHECKED", "照査", 297, 357, 14),
    ("承認", "APPROVED", "承認", 357, 417, 14),
    ("日付", "DATE", "日付", 237, 297, 5),
    ("改訂", "REVISION", "改訂", 297, 417, 5),
]


def sheet(b):
    attribs = {"layer": "SHEET"}
    rect(b, *BORDER)
    for e in b:
        e.dxf.layer = "SHEET"
    x1, y1, x2, _ = BORDER
    left = FIELDS[0][3]
    b.add_lwpolyline([(left, y1), (x2, y1), (x2, TITLE_TOP), (left, TITLE_TOP)], close=True, dxfattribs=attribs)
    for y in (14, 23, 32):
        b.add_line((left, y), (x2, y), dxfattribs=attribs)
    for label, tag, prompt, lx, vx, y in FIELDS:
        b.add_line((lx, y), (lx, y + 9), dxfattribs=attribs)
        b.add_line((lx + 20, y), (lx + 20, y + 9), dxfattribs=attribs)
        b.add_text(label, dxfattribs={"layer": "SHEET", "height": 2.5, "width": 0.8, "style": "Standard",
                                      "insert": (lx + 2, y + 3.25)})
        b.add_attdef(tag, (lx + 22, y + 3.25), "", dxfattribs={"layer": "SHEET", "height": 2.5, "width": 0.8,
                                                              "style": "Standard", "prompt": prompt})


FIXED_DATE = 2460000.5  # a fixed Julian date for the time stamps


def build():
    ezdxf.options.write_fixed_meta_data_for_testing = True
    doc = ezdxf.new("R2000", setup=False)
    doc.encoding = "cp932"
    doc.header["$DWGCODEPAGE"] = "ANSI_932"
    doc.header["$MEASUREMENT"] = 1  # metric
    doc.header["$INSUNITS"] = 4     # millimetres: an A3 sheet of 420 x 297
    doc.header["$LIMMIN"] = (0, 0)
    doc.header["$LIMMAX"] = (420, 297)
    doc.header["$EXTMIN"] = (0, 0, 0)
    doc.header["$EXTMAX"] = (420, 297, 0)
    doc.header["$LTSCALE"] = 1.0
    doc.header["$TEXTSTYLE"] = "Standard"
    doc.header["$TEXTSIZE"] = 2.5

    # The frame lines' linetype: long dash, gap, short dash, gap.
    doc.linetypes.add("Center", pattern=[20.0, 12.0, -3.0, 2.0, -3.0], description="Center ____ _ ____ _ ____")
    style = doc.styles.get("Standard")
    style.dxf.font = "txt"
    style.dxf.bigfont = "extfont"
    style.dxf.height = 0
    style.dxf.width = 0.8

    doc.layers.add("SHEET", color=7, lineweight=50)
    for name, draw in BLOCKS:
        block = doc.blocks.new(name=name, base_point=(0, 0, 0))
        draw(block)
    sheet(doc.blocks.new(name=SHEET, base_point=(0, 0, 0)))
    # Every page starts with the sheet; its fields hold the definitions'
    # defaults until the program fills them in.
    doc.modelspace().add_blockref(SHEET, (0, 0), dxfattribs={"layer": "SHEET"}).add_auto_attribs({})
    return doc


def render():
    stream = io.StringIO()
    build().write(stream)
    return stream.getvalue().encode("cp932")


def main(argv):
    data = render()
    if "--check" in argv:
        with open(TARGET, "rb") as f:
            same = f.read() == data
        print("up to date" if same else "out of date: run data/make-acad-template.py")
        return 0 if same else 1
    with open(TARGET, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
