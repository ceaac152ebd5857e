"""Checks DXF pages of one list with ezdxf: every page audits without a
fix, its extents lie inside its limits (the A3 sheet) and hold every
entity's points, the entities sit on the layers of their meaning, and the
title block carries page n / N, the date and the title.
usage: check_sheet_pages.py <title> <date> <page file>...
Prints one line per finding; nothing when all is well."""
import os
import sys

import ezdxf
from ezdxf import bbox

LAYERS = {"SHEET", "FRAME", "BUS", "WIRING", "SIGNAL", "SYMBOL", "TEXT"}


def main(title, date, paths):
    title = os.fsencode(title).decode("cp932")  # given as Shift-JIS bytes
    out = []
    all_used = set()
    for n, path in enumerate(paths, 1):
        doc = ezdxf.readfile(path)
        audit = doc.audit()
        out += [f"{path}: audit {e.message}" for e in audit.fixes + audit.errors]
        h = doc.header
        lo, hi = h["$EXTMIN"], h["$EXTMAX"]
        lim_lo, lim_hi = h["$LIMMIN"], h["$LIMMAX"]
        if (tuple(lim_lo)[:2], tuple(lim_hi)[:2]) != ((0, 0), (420, 297)):
            out.append(f"{path}: limits {lim_lo} {lim_hi}")
        if not (lim_lo[0] <= lo[0] <= hi[0] <= lim_hi[0] and lim_lo[1] <= lo[1] <= hi[1] <= lim_hi[1]):
            out.append(f"{path}: extents {lo} {hi} outside the limits")
        if doc.dxfversion == "AC1015" and h.get("$INSUNITS") != 4:
            out.append(f"{path}: units {h.get('$INSUNITS')}")
        msp = doc.modelspace()
        points = []
        for e in msp:
            if e.dxftype() == "TEXT":
                points += [e.dxf.insert, e.dxf.align_point if e.dxf.halign else e.dxf.insert]
            else:
                box = bbox.extents([e])
                points += [box.extmin, box.extmax]
        outside = [p for p in points if not (lo[0] - 1e-6 <= p[0] <= hi[0] + 1e-6 and lo[1] - 1e-6 <= p[1] <= hi[1] + 1e-6)]
        if outside:
            out.append(f"{path}: {len(outside)} points outside the extents, first {outside[0]}")
        used = {e.dxf.layer for e in msp}
        all_used |= used
        if not used <= LAYERS:
            out.append(f"{path}: layers {sorted(used)}")
        weights = {l.dxf.name: l.dxf.lineweight for l in doc.layers if l.dxf.name in LAYERS}
        if doc.dxfversion == "AC1015" and max(weights, key=weights.get) != "BUS":
            out.append(f"{path}: line weights {weights}")
        sheets = msp.query("INSERT[name=='A3-SHEET']")
        fields = {a.dxf.tag: a.dxf.text for a in sheets[0].attribs} if len(sheets) == 1 else {}
        want = {"TITLE": title, "DWGNO": "", "PAGE": f"{n} / {len(paths)}", "DRAWN": "", "CHECKED": "",
                "APPROVED": "", "DATE": date, "REVISION": ""}
        if fields != want:
            out.append(f"{path}: title fields {fields}")
    if all_used != LAYERS:
        out.append(f"layers used by the pages: {sorted(all_used)}")
    sys.stdout.buffer.write("".join(line + "\n" for line in out).encode("cp932", errors="replace"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
