#!/usr/bin/python3
"""Checks the delivered AutoCAD template with ezdxf, an independent reader:
the file audits clean, is Shift-JIS, defines every block the drawing inserts
with its wires meeting the block where the drawing connects them, the
linetype Center and the text style with the fonts txt and extfont.
Usage: check_acad_template.py path/to/Qel-Acad.DWG"""
import sys

import ezdxf
from ezdxf import bbox

# Block -> the points (in block units) where the drawing's wires meet it.
CONNECTIONS = {
    "1P_MCB01": [(0, 0), (0, -7)],
    "1P_ELB01": [(0, 0), (0, -7)],
    "1P_MG_SW01": [(0, 0), (0, -7)],
    "TH": [(0, 0), (0, 4)],
    "RY_A接点01": [(0, 0), (0, -3)],
    "LS_A接点01": [(0, 0), (0, -3)],
}
# Block -> its extents (xmin, ymin, xmax, ymax) where the wire touches its outline.
EXTENTS = {
    "BOX": (-5, -5, 5, 5),
    "cont": (-5, -5, 5, 5),
    "MY-RY": (-4, -5, 4, 5),
    "DO-BOX": (-4, 0, 4, 10),
    "RY-DO": (-4, 0, 4, 10),
    "TR-DO": (-4, 0, 4, 10),
    "ACM": (0, 0, 10, 10),
    "端子": (-1, -1, 1, 1),
}


def near(a, b):
    return abs(a - b) < 1e-6


def main(path):
    failures = []
    raw = open(path, "rb").read()
    for name in ("黒丸", "端子", "RY_A接点01", "LS_A接点01"):
        if name.encode("cp932") not in raw:
            failures.append(f"{name}: not stored as Shift-JIS bytes")
    doc = ezdxf.readfile(path)
    if doc.dxfversion != "AC1015":
        failures.append(f"version {doc.dxfversion}, not R2000")
    if doc.header.get("$DWGCODEPAGE") != "ANSI_932":
        failures.append(f"code page {doc.header.get('$DWGCODEPAGE')}")
    auditor = doc.audit()
    failures += [f"audit: {e.message}" for e in auditor.errors]

    names = ["1P_MCB01", "1P_MG_SW01", "TH", "1P_ELB01", "RY_A接点01", "LS_A接点01", "RY-DO", "TR-DO",
             "DO-BOX", "cont", "BOX", "MY-RY", "ACM", "黒丸", "端子"]
    for name in names:
        block = doc.blocks.get(name)
        if block is None:
            failures.append(f"block {name} missing")
            continue
        if len(block) == 0:
            failures.append(f"block {name} is empty")
        if tuple(block.block.dxf.base_point) != (0, 0, 0):
            failures.append(f"block {name}: base point {block.block.dxf.base_point}")
        ends = [(e.dxf.start.x, e.dxf.start.y) for e in block.query("LINE")] + \
               [(e.dxf.end.x, e.dxf.end.y) for e in block.query("LINE")]
        for px, py in CONNECTIONS.get(name, []):
            if not any(near(px, x) and near(py, y) for x, y in ends):
                failures.append(f"block {name}: no wire end at {px},{py}")
        if name in EXTENTS:
            box = bbox.extents(block.query("LINE CIRCLE ARC LWPOLYLINE"))
            got = (box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y)
            if not all(near(a, b) for a, b in zip(got, EXTENTS[name])):
                failures.append(f"block {name}: extents {got}, wanted {EXTENTS[name]}")
    dot = doc.blocks.get("黒丸")
    if dot is not None and (len(dot.query("SOLID")) == 0 or len(dot) != len(dot.query("SOLID"))):
        failures.append("黒丸 is not a dot of solids")
    # The sheet: one insert in model space whose values are the blank title fields.
    inserts = doc.modelspace().query("INSERT")
    fields = {a.dxf.tag: a.dxf.text for a in inserts[0].attribs} if len(inserts) == 1 else {}
    want = dict.fromkeys(["TITLE", "DWGNO", "PAGE", "DRAWN", "CHECKED", "APPROVED", "DATE", "REVISION"], "")
    if [i.dxf.name for i in inserts] != ["A3-SHEET"] or fields != want:
        failures.append(f"sheet inserts {[i.dxf.name for i in inserts]}, fields {fields}")
    if (tuple(doc.header["$LIMMIN"])[:2], tuple(doc.header["$LIMMAX"])[:2]) != ((0, 0), (420, 297)):
        failures.append("limits are not the A3 sheet")

    if "Center" not in doc.linetypes or len(doc.linetypes.get("Center").pattern_tags.tags) == 0:
        failures.append("linetype Center missing or without a pattern")
    style = doc.styles.get("Standard")
    if style is None or (style.dxf.font, style.dxf.bigfont) != ("txt", "extfont"):
        failures.append("text style Standard does not use txt and extfont")

    for f in failures:
        print("FAIL", f)
    print(f"{len(names)} blocks checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
