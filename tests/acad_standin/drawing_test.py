"""Delivers a drawing job's command texts to the AutoCAD stand-in (through
the acad_feed driver under Wine) and checks the two page files it saves
with ezdxf: no audit error, and exactly the entities the texts draw.
usage: drawing_test.py <acad_feed.exe> <ACAD.EXE> <work folder>"""
import os
import shutil
import subprocess
import sys

import ezdxf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_template  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def win(path):
    return "Z:" + path.replace("/", "\\")


def esc(text):
    return text.replace("\\", "\\\\")


def rounded(v):
    return (round(v[0], 3), round(v[1], 3))


def entities(path):
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    check(f"{path} audit errors", [e.message for e in auditor.errors], [])
    check(f"{path} code page", doc.header.get("$DWGCODEPAGE"), "ANSI_932")
    msp = doc.modelspace()
    lines = {(rounded(e.dxf.start), rounded(e.dxf.end), e.dxf.linetype.upper()) for e in msp.query("LINE")}
    texts = {(e.dxf.text, rounded(e.dxf.align_point if e.dxf.halign else e.dxf.insert), e.dxf.halign,
              round(e.dxf.height, 3), round(e.dxf.width, 3)) for e in msp.query("TEXT")}
    inserts = {(e.dxf.name, rounded(e.dxf.insert)) for e in msp.query("INSERT")}
    polys = [([rounded(p) for p in e.get_points("xy")], e.closed) for e in msp.query("LWPOLYLINE")]
    blocks = {b.name for b in doc.blocks if not b.name.startswith("*")}
    # Every block keeps the template's geometry, the donut's bulges and width too.
    for name in blocks:
        kinds = sorted(e.dxftype() for e in doc.blocks[name])
        check(f"{path} block {name}", kinds, ["ARC", "CIRCLE", "LINE", "LWPOLYLINE", "LWPOLYLINE"])
        donut = [(e.dxf.get("const_width"), [tuple(round(v, 3) for v in p) for p in e.get_points("xyb")])
                 for e in doc.blocks[name].query("LWPOLYLINE") if e.dxf.get("const_width")]
        check(f"{path} block {name} donut", donut, [(0.8, [(-0.4, 0.0, 1.0), (0.4, 0.0, 1.0)])])
    style = doc.styles.get("STANDARD")
    style = (style.dxf.font, style.dxf.bigfont, round(style.dxf.width, 3), round(style.dxf.height, 3))
    return lines, texts, inserts, polys, blocks, style


def main():
    feed, acad, work = sys.argv[1:4]
    shutil.rmtree(work, ignore_errors=True)
    tmpl_dir = os.path.join(work, "tmpl dir")     # a blank: the path arrives quoted
    os.makedirs(tmpl_dir)
    out_dir = os.path.join(work, "out")
    os.makedirs(out_dir)
    template = os.path.join(tmpl_dir, "Qel-Acad.DWG")
    make_template.make(template)

    open_template = [r"\x03\x03._filedia 0\r", r"._open\r", esc(f'"{win(template)}"') + r"\r", r"._filedia 1\r"]
    style = r"-style STANDARD\rtxt,extfont\r2.5 0.8 0 N N N\r"
    script = open_template + [
        r"_OsMode 0\r",
        r"-LineType S Center\r\x03",
        r"._LINE 32,240 415,240\r\r",
        r"._LINE 32,90 415,90\r\r",
        r"-LineType S ByLayer\r\x03",
        style,
        r"\x03\x03._LINE 50,230 400,230\r\r",
        r"_TEXT\r", r"50,232 0 AC 200V\r\x03",
        r"\x03\x03-insert 黒丸\r60,230\r\r\r\r",
        r"._LINE 60,230 60,200\r\r",
        r"\x03\x03-insert 1P_MCB01\r60,200\r\r\r\r",
        r"_TEXT\r", r"66,200 0 MCCB1\r\x03",
        r"_rectang 50,60 75,70\r",
        r"_TEXT\r", r"J C\r", r"60,45 0 5.5 kW\r\r",
        r"_TEXT\r", r"J C\r", r"60,50 0 制御表ポンプ\r\r",
        r"\x03\x03._insert cont\r100,200\r\r\r\r",
        r"bogus\r",
        r"._open\r", esc(win(os.path.join(work, "missing", "none.DWG"))) + r"\r",
        r"\x03\x03._filedia 0\r", r"._SaveAS R14 " + esc(win(os.path.join(out_dir, "page1.DWG"))) + r"\r",
        r"._filedia 1\r",
    ] + open_template + [
        style,
        r"\x03\x03-insert 端子\r140,90\r\r\r\r",
        r"_TEXT\r", r"J C\r", r"140,55 0 電動機 F-9\r\r",
        r"\x03\x03._filedia 0\r", r"._SaveAS R14 " + esc(f'"{win(os.path.join(out_dir, "図面 2.DWG"))}"') + r"\r",
        r"._filedia 1\r",
    ]
    script_path = os.path.join(work, "script.txt")
    with open(script_path, "w", encoding="utf-8") as f:
        f.write("\n".join(script) + "\n")

    run = subprocess.run([os.path.join(ROOT, "tools", "wine-run.sh"), feed, acad, "/role=2000", script_path],
                         capture_output=True, timeout=240)
    transcript = run.stdout.decode("utf-8", "replace").splitlines()
    check("driver exit code", run.returncode, 0)
    prompts = [line.split("\t", 1)[1] if "\t" in line else "" for line in transcript]
    check("prompt count", len(prompts), len(script))
    if len(prompts) == len(script):
        def after(i):
            return prompts[i]
        first_text = script.index(r"_TEXT\r")
        check("prompt after _TEXT", after(first_text), "Specify start point of text or [Justify/Style]: ")
        jc = script.index(r"J C\r")
        check("prompt after J C", after(jc), "Specify center point of text: ")
        check("prompt after the centred text", after(jc + 1), "Command: ")
        check("prompt after an unknown command", after(script.index(r"bogus\r")), "Command: ")
        check("prompt after opening a missing file", after(script.index(r"bogus\r") + 2), "Command: ")
        check("prompt at the end", prompts[-1], "Command: ")

    page1 = os.path.join(out_dir, "page1.DWG")
    page2 = os.path.join(out_dir, "図面 2.DWG")
    for page in (page1, page2):
        if not os.path.exists(page):
            failures.append(f"{page} was not written")
    if not failures:
        lines, texts, inserts, polys, blocks, style = entities(page1)
        check("page 1 lines", lines, {((32, 240), (415, 240), "CENTER"), ((32, 90), (415, 90), "CENTER"),
                                      ((50, 230), (400, 230), "BYLAYER"), ((60, 230), (60, 200), "BYLAYER")})
        check("page 1 texts", texts, {("AC 200V", (50, 232), 0, 2.5, 0.8), ("MCCB1", (66, 200), 0, 2.5, 0.8),
                                      ("5.5 kW", (60, 45), 1, 2.5, 0.8), ("制御表ポンプ", (60, 50), 1, 2.5, 0.8)})
        check("page 1 inserts", inserts, {("黒丸", (60, 230)), ("1P_MCB01", (60, 200)), ("cont", (100, 200))})
        check("page 1 rectangle", polys, [([(50, 60), (75, 60), (75, 70), (50, 70)], True)])
        check("page 1 blocks", blocks, set(make_template.BLOCKS))
        check("page 1 text style", style, ("txt", "extfont", 0.8, 2.5))
        # The second page is a fresh copy of the template: nothing of page 1.
        lines, texts, inserts, polys, blocks, _ = entities(page2)
        check("page 2 lines", lines, set())
        check("page 2 texts", texts, {("電動機 F-9", (140, 55), 1, 2.5, 0.8)})
        check("page 2 inserts", inserts, {("端子", (140, 90))})
        check("page 2 blocks", blocks, set(make_template.BLOCKS))

    if failures:
        print("\n".join(failures))
        print(run.stderr.decode("utf-8", "replace"))
        return 1
    print(f"acad stand-in drawing test passed: {len(script)} texts, 2 pages checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
