"""Reads DXF pages with ezdxf (a reader independent of the program) and
prints, for each file, its DXF version, every audit error and the model
space entities, one line each in file order, texts as Shift-JIS bytes:
  LINE x1,y1 x2,y2 LINETYPE
  TEXT L|C x,y "text" STYLE height width
  INSERT name x,y sx,sy rotation
  PLINE closed|open x,y x,y ...
With --layers every line ends with the entity's layer, and a centred text
tells its start point (group 10) too: ... from x,y LAYER.
usage: dump_pages.py [--layers] <file>..."""
import sys

import ezdxf


def num(v):
    return f"{v:g}"


def pt(p):
    return f"{num(p[0])},{num(p[1])}"


def main(paths):
    layers = paths[:1] == ["--layers"]
    paths = paths[1:] if layers else paths
    out = []
    for path in paths:
        doc = ezdxf.readfile(path)
        out.append(f"FILE {doc.dxfversion} {doc.encoding}")
        out += [f"AUDIT {e.message}" for e in doc.audit().errors]
        for e in doc.modelspace():
            t = e.dxftype()
            n = len(out)
            if t == "LINE":
                out.append(f"LINE {pt(e.dxf.start)} {pt(e.dxf.end)} {e.dxf.linetype}")
            elif t == "TEXT":
                centred = e.dxf.halign == 1
                where = e.dxf.align_point if centred else e.dxf.insert
                out.append(f'TEXT {"C" if centred else "L"} {pt(where)} "{e.dxf.text}" {e.dxf.style} '
                           f"{num(e.dxf.height)} {num(e.dxf.width)}")
            elif t == "INSERT":
                out.append(f"INSERT {e.dxf.name} {pt(e.dxf.insert)} {num(e.dxf.xscale)},{num(e.dxf.yscale)} "
                           f"{num(e.dxf.rotation)}")
            elif t in ("LWPOLYLINE", "POLYLINE"):
                points = [pt(p) for p in e.points()] if t == "POLYLINE" else [pt(p) for p in e.get_points("xy")]
                out.append(f"PLINE {'closed' if e.is_closed else 'open'} " + " ".join(points))
            else:
                out.append(t)
            if layers:
                if t == "TEXT" and e.dxf.halign == 1:
                    out[n] += f" from {pt(e.dxf.insert)}"
                out[n] += f" {e.dxf.layer}"
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("cp932", errors="replace"))


if __name__ == "__main__":
    main(sys.argv[1:])
