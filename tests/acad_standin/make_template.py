"""Writes a small template drawing for the stand-in's tests: DXF R2000 under
a .DWG name, Shift-JIS names ($DWGCODEPAGE ANSI_932), every block a drawing
job inserts, the CENTER linetype and the STANDARD style."""
import sys
import ezdxf

BLOCKS = ["1P_MCB01", "1P_MG_SW01", "TH", "1P_ELB01", "RY_A接点01", "LS_A接点01", "RY-DO", "TR-DO",
          "DO-BOX", "cont", "BOX", "MY-RY", "ACM", "黒丸", "端子"]


def make(path):
    doc = ezdxf.new("R2000")
    doc.header["$DWGCODEPAGE"] = "ANSI_932"
    doc.linetypes.add("CENTER", pattern=[2.0, 1.25, -0.25, 0.25, -0.25], description="Center ____ _ ____ _")
    for name in BLOCKS:
        block = doc.blocks.new(name=name)
        # A filled dot is a donut: two half-circle arcs of constant width.
        block.add_lwpolyline([(-0.4, 0, 0, 0, 1), (0.4, 0, 0, 0, 1)], format="xyseb", close=True,
                             dxfattribs={"const_width": 0.8})
        block.add_line((0, 0), (0, -7))
        block.add_circle((0, -3), 1.5)
        block.add_arc((0, -3), 3, 0, 180)
        block.add_lwpolyline([(-3, -7), (3, -7), (3, -9), (-3, -9)], close=True)
    doc.saveas(path, encoding="cp932")


if __name__ == "__main__":
    make(sys.argv[1])
