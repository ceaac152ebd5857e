#!/usr/bin/python3
"""Writes the Visio stencil qel-ms.vss and the drawing document qel-ms.vsd.

Both files are Visio's 2003 XML format (the content of a .vsx / .vdx file),
so that a real Visio opens them as well as the Visio stand-in does.

    /usr/bin/python3 data/make-visio-files.py [output folder]

The output folder defaults to the folder of this script. The output is the
same bytes on every run: change a symbol below and run the script again.

Every symbol is drawn in millimetres around its pin, the point that Drop
places on the drop position, with y upwards. The drawing places each master
at a fixed point of its column (columns 40 mm apart), and lines drawn between
the symbols end exactly where the symbols' connection points are, so each
symbol must reach from its pin to the ends of the lines that meet it:

  line       213.5: 207..220          breaker      200: 200..207
  1P-MgSW    150:   150..157          1P-TH        130: 130..137
  FR-LINE    143:   links X..X+20     motor         60: lead ends at 70,
  DELTA      122:   X..X+10                             circle meets (X+5, 65)
  STAR       113.5: from 112          STAR-LINE    103: X+10..X+20, up to 105
  terminal   on the line              panel         60: top at 70
  input field devices at 250, lines from 210 below; receivers at 200, top at
  210; output devices at 130, line from 80 below.

Texts go right of a symbol, never further than 31 mm right of the column, so
that the next column (whose widest symbol reaches 8 mm left of it) stays
clear.
"""

import math
import os
import sys
import uuid

MM_PER_INCH = 25.4
NAMESPACE = "http://schemas.microsoft.com/visio/2003/core"
TEXT_HEIGHT = 7.8           # three lines of 6-point text, mm
CHAR_SIZE_PT = 6.0
LINE_WEIGHT_IN = 0.01


def inch(mm):
    return mm / MM_PER_INCH


def num(value):
    """Fixed-precision decimal text, so that the output never varies."""
    text = f"{value:.10f}".rstrip("0").rstrip(".")
    return "0" if text in ("", "-0") else text


def esc(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;")
            .replace(">", "&gt;").replace('"', "&quot;"))


# ---------------------------------------------------------------------------
# Letters drawn with strokes, on a grid 4 wide and 6 high, so that symbols
# carry their marks as geometry (the sensors receive no texts).

GLYPHS = {
    "A": [[(0, 0), (2, 6), (4, 0)], [(1, 3), (3, 3)]],
    "B": [[(0, 0), (0, 6), (3, 6), (4, 5), (4, 4), (3, 3), (0, 3)],
          [(3, 3), (4, 2), (4, 1), (3, 0), (0, 0)]],
    "C": [[(4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0), (3, 0), (4, 1)]],
    "D": [[(0, 0), (0, 6), (2.5, 6), (4, 4.5), (4, 1.5), (2.5, 0), (0, 0)]],
    "E": [[(4, 6), (0, 6), (0, 0), (4, 0)], [(0, 3), (3, 3)]],
    "F": [[(4, 6), (0, 6), (0, 0)], [(0, 3), (3, 3)]],
    "I": [[(2, 0), (2, 6)], [(1, 6), (3, 6)], [(1, 0), (3, 0)]],
    "L": [[(0, 6), (0, 0), (4, 0)]],
    "O": [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1),
           (1, 0)]],
    "P": [[(0, 0), (0, 6), (3, 6), (4, 5), (4, 4), (3, 3), (0, 3)]],
    "R": [[(0, 0), (0, 6), (3, 6), (4, 5), (4, 4), (3, 3), (0, 3)],
          [(2, 3), (4, 0)]],
    "S": [[(4, 5), (3, 6), (1, 6), (0, 5), (0, 4), (1, 3), (3, 3), (4, 2),
           (4, 1), (3, 0), (1, 0), (0, 1)]],
    "T": [[(0, 6), (4, 6)], [(2, 6), (2, 0)]],
    "V": [[(0, 6), (2, 0), (4, 6)]],
    "Y": [[(0, 6), (2, 3), (4, 6)], [(2, 3), (2, 0)]],
    "m": [[(0, 0), (0, 4)], [(0, 3), (1, 4), (2, 3), (2, 0)],
          [(2, 3), (3, 4), (4, 3), (4, 0)]],
    "1": [[(1, 5), (2, 6), (2, 0)], [(1, 0), (3, 0)]],
    "4": [[(3, 0), (3, 6), (0, 2), (4, 2)]],
    "-": [[(0.5, 3), (3.5, 3)]],
}


class Symbol:
    """The geometry of one master, in mm around its pin."""

    def __init__(self):
        self.paths = []          # (points, closed)
        self.circles = []        # (cx, cy, r, fill colour index or None)
        self.connections = []
        self.text_block = None   # (x0, y0, x1, y1) or None: no texts

    def line(self, *points):
        self.paths.append((list(points), False))

    def box(self, x0, y0, x1, y1):
        self.paths.append(([(x0, y0), (x1, y0), (x1, y1), (x0, y1),
                            (x0, y0)], True))

    def circle(self, cx, cy, r, fill=None):
        self.circles.append((cx, cy, r, fill))

    def dot(self, x, y):
        """A junction where a branch leaves a line."""
        self.circle(x, y, 0.5, fill=0)

    def arc(self, cx, cy, r, start_deg, end_deg, steps=12):
        points = []
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.line(*points)

    def arrow_head(self, tip, tail, size=1.2, spread_deg=22):
        """Two barbs at tip, pointing away from tail."""
        dx, dy = tip[0] - tail[0], tip[1] - tail[1]
        back = math.atan2(-dy, -dx)
        for side in (-1, 1):
            a = back + side * math.radians(spread_deg)
            self.line(tip, (tip[0] + size * math.cos(a),
                            tip[1] + size * math.sin(a)))

    def letters(self, text, cx, cy, height):
        unit = height / 6.0
        advance = 5.5 * unit
        width = advance * len(text) - 1.5 * unit
        x = cx - width / 2
        for ch in text:
            for stroke in GLYPHS[ch]:
                self.line(*[(x + px * unit, cy - height / 2 + py * unit)
                            for px, py in stroke])
            x += advance

    def connect(self, *points):
        self.connections.extend(points)

    def texts(self, x0, y_mid, x1=31.0):
        self.text_block = (x0, y_mid - TEXT_HEIGHT / 2, x1,
                           y_mid + TEXT_HEIGHT / 2)

    def extent(self):
        xs, ys = [], []
        for points, _ in self.paths:
            xs += [p[0] for p in points]
            ys += [p[1] for p in points]
        for cx, cy, r, _ in self.circles:
            xs += [cx - r, cx + r]
            ys += [cy - r, cy + r]
        x0, x1 = min(xs), max(xs)
        y0, y1 = min(ys), max(ys)
        # A shape of no width or height is awkward to select and resize.
        if x1 - x0 < 2:
            x0, x1 = (x0 + x1) / 2 - 1, (x0 + x1) / 2 + 1
        if y1 - y0 < 2:
            y0, y1 = (y0 + y1) / 2 - 1, (y0 + y1) / 2 + 1
        return x0, y0, x1, y1


# ---------------------------------------------------------------------------
# The symbols. Contacts are drawn vertically: a lead up from the pin, the
# moving blade leaning left, the fixed contact coming down from the top.

def contact(s, pivot, tip, fixed, top):
    s.line((0, 0), (0, pivot), tip)
    s.line((0, fixed), (0, top))


def breaker(earth_leakage):
    s = Symbol()
    contact(s, 2.2, (-2.3, 5.8), 5.2, 7)
    s.line((-0.7, 4.5), (0.7, 5.9))            # the breaker's cross
    s.line((-0.7, 5.9), (0.7, 4.5))
    if earth_leakage:
        # the zero-phase current transformer round the lead
        s.circle(0, 1.1, 0.9)
    s.connect((0, 0), (0, 7))
    s.texts(3.5, 3.5)
    return s


def magnetic_switch():
    s = Symbol()
    contact(s, 1.5, (-2.4, 5.4), 5.0, 7)
    s.arc(0, 5.6, 0.6, -90, 90)                # the contactor's half circle
    s.connect((0, 0), (0, 7))
    s.texts(3.5, 3.5, x1=16.0)   # 88R sits at X+20 beside 88F
    return s


def thermal_relay():
    s = Symbol()
    s.line((0, 0), (0, 1.5))
    s.box(-2.2, 1.5, 2.2, 5.5)
    s.line((0, 1.5), (0, 2.5), (1.1, 2.5), (1.1, 4.5), (0, 4.5), (0, 5.5))
    s.line((0, 5.5), (0, 7))
    s.connect((0, 0), (0, 7))
    s.texts(3.5, 3.5)
    return s


def bus_drop():
    s = Symbol()
    s.line((0, -6.5), (0, 6.5))
    s.connect((0, -6.5), (0, 6.5))
    return s


def forward_reverse_link():
    # 88R at X+20 (150..157) in parallel with 88F on the main line: a link
    # below to 143 and one above to 162, both tapping the main line.
    s = Symbol()
    s.line((0, 0), (20, 0), (20, 7))
    s.line((0, 19), (20, 19), (20, 14))
    s.dot(0, 0)
    s.dot(0, 19)
    s.connect((0, 0), (20, 7), (0, 19), (20, 14))
    return s


MOTOR_RADIUS = 5 * math.sqrt(2)   # the star-delta return line ends at (5, 5)


def motor():
    s = Symbol()
    s.circle(0, 0, MOTOR_RADIUS)
    s.line((0, MOTOR_RADIUS), (0, 10))
    s.line((-2.6, -2.4), (-2.6, 2.6), (0, -0.2), (2.6, 2.6), (2.6, -2.4))
    s.connect((0, 10), (5, 5))
    s.texts(MOTOR_RADIUS + 2, 0)
    return s


def delta_link():
    s = Symbol()
    s.line((0, 0), (10, 0))
    s.dot(0, 0)
    s.line((3.8, 1), (6.2, 1), (5, 3), (3.8, 1))
    s.connect((0, 0), (10, 0))
    return s


def star_point():
    s = Symbol()
    s.line((0, -1.5), (0, 1))
    s.line((-1.6, 2.8), (0, 1), (1.6, 2.8))
    s.connect((0, -1.5))
    return s


def star_link():
    s = Symbol()
    s.line((0, 0), (10, 0), (10, 2))
    s.dot(0, 0)
    s.connect((0, 0), (10, 2))
    return s


def terminal():
    s = Symbol()
    s.circle(0, 0, 1.2, fill=1)   # white, hiding the line it sits on
    s.connect((0, -1.2), (0, 1.2))
    return s


def panel():
    s = Symbol()
    s.box(-8, -10, 8, 10)
    s.line((-8, 6), (8, 6))
    s.connect((0, 10))
    s.texts(10, 0)
    return s


def field_contact(limit_switch):
    s = Symbol()
    blade_tip = (-2.6, 7.5)
    contact(s, 3, blade_tip, 7, 10)
    if limit_switch:
        # the actuator wedge on the blade
        bx, by = blade_tip[0], blade_tip[1] - 3
        length = math.hypot(bx, by)
        ux, uy = bx / length, by / length
        a = (ux * 1.6, 3 + uy * 1.6)
        b = (ux * 3.4, 3 + uy * 3.4)
        mid = ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        apex = (mid[0] - uy * 1.4, mid[1] + ux * 1.4)
        s.line(a, apex, b)
    s.connect((0, 0))
    s.texts(2.0, 5)
    return s


def relay_coil():
    s = Symbol()
    s.line((0, 0), (0, 3))
    s.box(-3, 3, 3, 8)
    s.line((0, 8), (0, 10))
    s.connect((0, 0))
    s.texts(4.5, 5.5)
    return s


def transistor_output():
    s = Symbol()
    s.circle(-1.0, 6.5, 4.3)
    s.line((0, 0), (0, 3.2), (-2.2, 5.3))          # emitter
    s.arrow_head((0, 3.2), (-2.2, 5.3), size=1.1)
    s.line((-2.2, 7.7), (0, 9.8), (0, 12))         # collector
    s.line((-2.2, 4.4), (-2.2, 8.6))               # base
    s.line((-2.2, 6.5), (-5.3, 6.5))
    s.connect((0, 0))
    s.texts(4.8, 6.5)
    return s


def device_box(mark, arrow=None):
    """A field device drawn as a box on a short lead, its kind written in."""
    s = Symbol()
    s.line((0, 0), (0, 2.5))
    if arrow == "down":
        s.arrow_head((0, 0.2), (0, 2.5), size=1.0)
    elif arrow == "up":
        s.arrow_head((0, 2.5), (0, 0), size=1.0)
    s.box(-5, 2.5, 5, 9.5)
    s.letters(mark, 0, 6, 2.6)
    s.connect((0, 0))
    s.texts(6.5, 6)
    return s


def sensor(mark):
    """An instrument bubble; sensors carry no texts, so the letters say it."""
    s = Symbol()
    s.line((0, 0), (0, 2.5))
    s.circle(0, 7, 4.5)
    s.letters(mark, 0, 7, 2.6)
    s.connect((0, 0))
    return s


def receiver_box(*rows):
    s = Symbol()
    s.box(-6, 0, 6, 10)
    if len(rows) == 1:
        s.letters(rows[0], 0, 5, 2.6)
    else:
        s.letters(rows[0], 0, 6.9, 2.4)
        s.letters(rows[1], 0, 3.1, 2.4)
    s.connect((0, 10))
    s.texts(7.5, 5)
    return s


def indicator():
    s = Symbol()
    s.circle(0, 5, 5)
    s.arc(0, 3, 4, 40, 140, steps=10)             # scale
    s.line((-1.2, 2.2), (2.0, 6.8))                # needle
    s.arrow_head((2.0, 6.8), (-1.2, 2.2), size=1.0)
    s.connect((0, 10))
    s.texts(7.5, 5)
    return s


def pen_recorder():
    s = Symbol()
    s.box(-6, 0, 6, 10)
    s.line((-6, 2), (6, 2))                        # chart edge
    s.line((-4.5, 5), (-3, 7.8), (-1.5, 3.6), (0, 6.6), (1.5, 4.2),
           (3, 7.2), (4.5, 5.4))
    s.connect((0, 10))
    s.texts(7.5, 5)
    return s


# Name, description (shown as the master's prompt in Visio), symbol.
MASTERS = [
    ("line", "母線からの引出し線", bus_drop),
    ("1P-MCB", "配線用遮断器", lambda: breaker(False)),
    ("1P-ELB", "漏電遮断器", lambda: breaker(True)),
    ("1P-MgSW", "電磁開閉器・電磁接触器", magnetic_switch),
    ("FR-LINE", "正逆転の渡り線", forward_reverse_link),
    ("1P-TH", "熱動形過負荷継電器", thermal_relay),
    ("motor", "電動機", motor),
    ("DELTA", "デルタ結線の渡り線", delta_link),
    ("STAR", "スター結線の中性点", star_point),
    ("STAR-LINE", "スター結線の渡り線", star_link),
    ("terminal", "端子", terminal),
    ("panel", "送り先の盤", panel),
    ("Di-A", "接点入力", lambda: field_contact(False)),
    ("Di-LS", "リミットスイッチ", lambda: field_contact(True)),
    ("Do-Ry", "リレー出力 (絶縁)", relay_coil),
    ("Do-Tr", "トランジスタ出力 (非絶縁)", transistor_output),
    ("Do-", "デジタル出力機器", lambda: device_box("DO")),
    ("Ai-T", "温度検出器", lambda: sensor("TE")),
    ("Ai-F", "流量検出器", lambda: sensor("FE")),
    ("Ai-P", "圧力検出器", lambda: sensor("PE")),
    ("Ai-L", "レベル検出器", lambda: sensor("LE")),
    ("Ai-", "アナログ入力機器", lambda: sensor("AI")),
    ("Ao-1", "アナログ出力機器 1-5V", lambda: device_box("V")),
    ("Ao-4", "アナログ出力機器 4-20mA", lambda: device_box("mA")),
    ("Ao-", "アナログ出力機器", lambda: device_box("AO")),
    ("Wi-B", "BCDワード入力機器", lambda: device_box("BCD", "down")),
    ("Wo-B", "BCDワード出力機器", lambda: device_box("BCD", "up")),
    ("ISO-Ry-R", "絶縁リレー", lambda: receiver_box("ISO", "RY")),
    ("PLC", "PLC", lambda: receiver_box("PLC")),
    ("IND", "指示計", indicator),
    ("PEN", "記録計", pen_recorder),
    ("Ai-1", "アナログ受信器 1", lambda: receiver_box("AI-1")),
    ("Ai-4", "アナログ受信器 4", lambda: receiver_box("AI-4")),
]


# ---------------------------------------------------------------------------
# XML writing. Plain text, so that element order and number format are ours.

class Writer:
    def __init__(self):
        self.lines = []
        self.depth = 0

    def raw(self, text):
        self.lines.append("  " * self.depth + text)

    def open(self, tag, **attrs):
        self.raw(f"<{tag}{self.attrs(attrs)}>")
        self.depth += 1

    def close(self, tag):
        self.depth -= 1
        self.raw(f"</{tag}>")

    def leaf(self, tag, value, **attrs):
        self.raw(f"<{tag}{self.attrs(attrs)}>{esc(value)}</{tag}>")

    def cells(self, tag, pairs, **attrs):
        inner = "".join(f"<{k}>{esc(v)}</{k}>" for k, v in pairs)
        self.raw(f"<{tag}{self.attrs(attrs)}>{inner}</{tag}>")

    @staticmethod
    def attrs(attrs):
        return "".join(f' {k}="{esc(str(v))}"' for k, v in attrs.items())

    def text(self):
        return ('<?xml version="1.0" encoding="utf-8"?>\n'
                + "\n".join(self.lines) + "\n")


def document_head(w, title):
    w.open("VisioDocument", xmlns=NAMESPACE, start="190", metric="1",
           DocLangID="1041", version="11.0", **{"xml:space": "preserve"})
    w.cells("DocumentProperties", [("Title", title),
                                   ("Creator", "Qel-Wirmap"),
                                   ("Company", "Qel-Wirmap")])
    w.open("Colors")
    w.raw('<ColorEntry IX="0" RGB="#000000"/>')
    w.raw('<ColorEntry IX="1" RGB="#FFFFFF"/>')
    w.close("Colors")
    w.open("StyleSheets")
    w.open("StyleSheet", ID="0", NameU="No Style", Name="No Style")
    w.cells("Line", [("LineWeight", num(LINE_WEIGHT_IN)), ("LineColor", "0"),
                     ("LinePattern", "1"), ("Rounding", "0"),
                     ("EndArrowSize", "2"), ("BeginArrow", "0"),
                     ("EndArrow", "0"), ("LineCap", "0"),
                     ("BeginArrowSize", "2"), ("LineColorTrans", "0")])
    w.cells("Fill", [("FillForegnd", "1"), ("FillBkgnd", "0"),
                     ("FillPattern", "1"), ("ShdwForegnd", "0"),
                     ("ShdwBkgnd", "1"), ("ShdwPattern", "0")])
    w.cells("TextBlock", [("LeftMargin", "0"), ("RightMargin", "0"),
                          ("TopMargin", "0"), ("BottomMargin", "0"),
                          ("VerticalAlign", "0"), ("TextBkgnd", "0")])
    w.cells("Char", [("Color", "0"), ("Style", "0"),
                     ("Size", num(CHAR_SIZE_PT / 72))], IX="0")
    w.cells("Para", [("HorzAlign", "0")], IX="0")
    w.close("StyleSheet")
    w.close("StyleSheets")


def write_geometry(w, symbol, x0, y0):
    def loc(p):
        return num(inch(p[0] - x0)), num(inch(p[1] - y0))

    ix = 0
    for points, closed in symbol.paths:
        w.open("Geom", IX=str(ix))
        w.leaf("NoFill", "1")
        w.leaf("NoLine", "0")
        for row, p in enumerate(points, start=1):
            x, y = loc(p)
            w.cells("MoveTo" if row == 1 else "LineTo", [("X", x), ("Y", y)],
                    IX=str(row))
        w.close("Geom")
        ix += 1
    for cx, cy, r, fill in symbol.circles:
        w.open("Geom", IX=str(ix))
        w.leaf("NoFill", "1" if fill is None else "0")
        w.leaf("NoLine", "0")
        x, y = loc((cx, cy))
        ax, ay = loc((cx + r, cy))
        bx, by = loc((cx, cy + r))
        w.cells("Ellipse", [("X", x), ("Y", y), ("A", ax), ("B", ay),
                            ("C", bx), ("D", by)], IX="1")
        w.close("Geom")
        ix += 1


def write_master(w, master_id, name, prompt, symbol):
    x0, y0, x1, y1 = symbol.extent()
    width, height = inch(x1 - x0), inch(y1 - y0)
    pin_x, pin_y = inch(-x0), inch(-y0)
    guid = uuid.uuid5(uuid.NAMESPACE_URL, "qel-wirmap:qel-ms.vss:" + name)
    w.open("Master", ID=str(master_id), NameU=name, Name=name, Prompt=prompt,
           IconSize="1", AlignName="2", MatchByName="0", IconUpdate="1",
           UniqueID="{" + str(guid).upper() + "}",
           BaseID="{" + str(guid).upper() + "}", Hidden="0")
    w.open("PageSheet", LineStyle="0", FillStyle="0", TextStyle="0")
    w.cells("PageProps", [("PageWidth", num(width)),
                          ("PageHeight", num(height)),
                          ("PageScale", "1"), ("DrawingScale", "1")])
    w.close("PageSheet")
    w.open("Shapes")
    w.open("Shape", ID="1", NameU=name, Name=name, Type="Shape",
           LineStyle="0", FillStyle="0", TextStyle="0")
    w.cells("XForm", [("PinX", num(pin_x)), ("PinY", num(pin_y)),
                      ("Width", num(width)), ("Height", num(height)),
                      ("LocPinX", num(pin_x)), ("LocPinY", num(pin_y))])
    w.cells("Line", [("LineWeight", num(LINE_WEIGHT_IN)), ("LineColor", "0"),
                     ("LinePattern", "1")])
    fills = {fill for *_, fill in symbol.circles if fill is not None}
    if fills:
        # One fill colour a shape: junction dots black, the terminal white.
        assert len(fills) == 1, name
        w.cells("Fill", [("FillForegnd", str(fills.pop())),
                         ("FillPattern", "1")])
    has_texts = symbol.text_block is not None
    if has_texts:
        tx0, ty0, tx1, ty1 = symbol.text_block
        w.cells("TextBlock", [("LeftMargin", "0"), ("RightMargin", "0"),
                              ("TopMargin", "0"), ("BottomMargin", "0"),
                              ("VerticalAlign", "0")])
        w.cells("TextXForm", [("TxtPinX", num(inch(tx0 - x0))),
                              ("TxtPinY", num(inch(ty0 - y0))),
                              ("TxtWidth", num(inch(tx1 - tx0))),
                              ("TxtHeight", num(inch(ty1 - ty0))),
                              ("TxtLocPinX", "0"), ("TxtLocPinY", "0")])
        w.cells("Char", [("Size", num(CHAR_SIZE_PT / 72))], IX="0")
        w.cells("Para", [("HorzAlign", "0")], IX="0")
        for i, row in enumerate(("Row_2", "Row_3", "Row_4"), start=1):
            w.raw(f'<Prop NameU="{row}" Name="{row}" ID="{i}">'
                  f'<Value Unit="STR"></Value><Label>{row}</Label>'
                  f'<Type>0</Type></Prop>')
    for i, (cx, cy) in enumerate(symbol.connections):
        w.cells("Connection", [("X", num(inch(cx - x0))),
                               ("Y", num(inch(cy - y0)))], IX=str(i))
    if has_texts:
        for i, row in enumerate(("Row_2", "Row_3", "Row_4")):
            w.raw(f'<Field IX="{i}"><Value Unit="STR" F="Prop.{row}">'
                  f'</Value><EditMode>0</EditMode><Type>0</Type></Field>')
    write_geometry(w, symbol, x0, y0)
    if has_texts:
        # One field a line: Row_2 above Row_3 above Row_4.
        w.raw('<Text><cp IX="0"/><pp IX="0"/><fld IX="0"></fld>\n'
              '<fld IX="1"></fld>\n<fld IX="2"></fld></Text>')
    w.close("Shape")
    w.close("Shapes")
    w.close("Master")


def stencil():
    w = Writer()
    document_head(w, "Qel-Wirmap single-line symbols")
    w.open("Masters")
    for master_id, (name, prompt, build) in enumerate(MASTERS, start=2):
        write_master(w, master_id, name, prompt, build())
    w.close("Masters")
    w.close("VisioDocument")
    return w.text()


A3_LANDSCAPE_MM = (420.0, 297.0)


def drawing():
    w = Writer()
    document_head(w, "Qel-Wirmap single-line diagram")
    w.open("Pages")
    w.open("Page", ID="0", NameU="Page-1", Name="Page-1")
    w.open("PageSheet", LineStyle="0", FillStyle="0", TextStyle="0")
    width, height = A3_LANDSCAPE_MM
    w.raw(f'<PageProps><PageWidth Unit="MM">{num(inch(width))}</PageWidth>'
          f'<PageHeight Unit="MM">{num(inch(height))}</PageHeight>'
          f'<PageScale Unit="MM">1</PageScale>'
          f'<DrawingScale Unit="MM">1</DrawingScale>'
          f'<DrawingSizeType>0</DrawingSizeType>'
          f'<DrawingScaleType>0</DrawingScaleType></PageProps>')
    # A3 (paper kind 8), landscape
    w.cells("PrintProps", [("PaperKind", "8"), ("PrintPageOrientation", "2")])
    w.close("PageSheet")
    w.close("Page")
    w.close("Pages")
    w.close("VisioDocument")
    return w.text()


def main(argv):
    if len(argv) > 2:
        sys.stderr.write("usage: make-visio-files.py [output folder]\n")
        return 2
    folder = argv[1] if len(argv) == 2 else os.path.dirname(
        os.path.abspath(__file__))
    for name, content in (("qel-ms.vss", stencil()),
                          ("qel-ms.vsd", drawing())):
        with open(os.path.join(folder, name), "w", encoding="utf-8",
                  newline="\n") as f:
            f.write(content)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
