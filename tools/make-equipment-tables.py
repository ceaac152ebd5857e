#!/usr/bin/env python3
"""Writes the two delivered equipment tables, data/fd.dat (Fuji Electric
equipment) and data/mel.dat (Mitsubishi Electric equipment).

    python3 tools/make-equipment-tables.py          # rewrite both files
    python3 tools/make-equipment-tables.py --check  # exit 1 if they differ

The tables are derived, not typed in cell by cell: each record follows from
the motor's full-load current and a few selection rules written out below, so
that a reviewer can check the rules once instead of 72 x 18 cells, and a
correction to a rule reaches every record it concerns.

The files are written exactly as the program's own CSV writer writes a grid
(comma separated, a cell that reads as a decimal number bare, every other
cell in double quotes), Shift-JIS, CR LF after every line. Loading one into
the program and saving it again therefore gives the same bytes.
"""

import math
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "data"

# ---------------------------------------------------------------------------
# Motors: outputs offered by the program and full-load currents of standard
# totally-enclosed 4-pole three-phase induction motors. The 400 V class
# carries half the current of the 200 V class at the same output.
# ---------------------------------------------------------------------------

DOL_OUTPUTS = ["0.1", "0.2", "0.4", "0.75", "1.5", "2.2", "3.7", "5.5", "7.5",
               "11", "15", "18.5", "22", "30", "37", "45", "55", "75", "90",
               "110", "132"]
STAR_DELTA_OUTPUTS = ["5.5", "7.5", "11", "15", "18.5", "22", "30", "37", "45",
                      "55", "75", "90", "110", "132", "160"]

FULL_LOAD_CURRENT = {
    "200": dict(zip(DOL_OUTPUTS + ["160"],
                    ["0.8", "1.8", "3.2", "4.8", "8", "11.1", "17.4", "26",
                     "34", "48", "65", "79", "93", "124", "152", "184", "224",
                     "300", "358", "436", "520", "630"])),
    "400": dict(zip(DOL_OUTPUTS + ["160"],
                    ["0.4", "0.9", "1.6", "2.4", "4", "5.6", "8.7", "13",
                     "17", "24", "33", "40", "47", "62", "76", "92", "112",
                     "150", "179", "218", "260", "315"])),
}

# In a star-delta starter the main and delta contactors and the thermal
# relay sit in the motor's phase windings: they carry 1/sqrt(3) of the line
# current. The star contactor closes the star point and carries one third of
# it, and only for the seconds of the start.
PHASE_SHARE = 1 / math.sqrt(3)
STAR_SHARE = 1 / 3

# ---------------------------------------------------------------------------
# Contactor ladders: (contactor, magnetic switch, thermal relay, largest
# full-load current the frame is chosen for, AC-3 duty). The smallest frame
# whose limit is not below the current is taken.
# ---------------------------------------------------------------------------

FUJI_FRAMES = [
    ("SC-03", "SW-03", "TR-0N/3", 11.5),
    ("SC-0", "SW-0", "TR-0N/3", 13),
    ("SC-05", "SW-05", "TR-0N/3", 18),
    ("SC-4-0", "SW-4-0", "TR-5-1N/3", 26),
    ("SC-4-1", "SW-4-1", "TR-5-1N/3", 35),
    ("SC-N1", "SW-N1", "TR-N2/3", 50),
    ("SC-N2", "SW-N2", "TR-N2/3", 65),
    ("SC-N2S", "SW-N2S", "TR-N3/3", 80),
    ("SC-N3", "SW-N3", "TR-N3/3", 95),
    ("SC-N4", "SW-N4", "TR-N5/3", 125),
    ("SC-N5", "SW-N5", "TR-N5/3", 155),
    ("SC-N6", "SW-N6", "TR-N6/3", 185),
    ("SC-N7", "SW-N7", "TR-N6/3", 225),
    ("SC-N8", "SW-N8", "TR-N12/3", 300),
    ("SC-N10", "SW-N10", "TR-N12/3", 400),
    ("SC-N11", "SW-N11", "TR-N12/3", 520),
    ("SC-N12", "SW-N12", "TR-N12/3", 630),
]

MITSUBISHI_FRAMES = [
    ("S-T10", "MSO-T10", "TH-T18", 11.5),
    ("S-T12", "MSO-T12", "TH-T18", 13),
    ("S-T20", "MSO-T20", "TH-T18", 18),
    ("S-T21", "MSO-T21", "TH-T25", 22),
    ("S-T25", "MSO-T25", "TH-T25", 26),
    ("S-T32", "MSO-T32", "TH-T50", 32),
    ("S-T35", "MSO-T35", "TH-T50", 40),
    ("S-T50", "MSO-T50", "TH-T50", 50),
    ("S-T65", "MSO-T65", "TH-T65", 65),
    ("S-T80", "MSO-T80", "TH-T100", 80),
    ("S-N95", "MSO-N95", "TH-N120", 95),
    ("S-N125", "MSO-N125", "TH-N120", 125),
    ("S-N150", "MSO-N150", "TH-N220RH", 155),
    ("S-N180", "MSO-N180", "TH-N220RH", 185),
    ("S-N220", "MSO-N220", "TH-N220RH", 225),
    ("S-N300", "MSO-N300", "TH-N400RH", 300),
    ("S-N400", "MSO-N400", "TH-N400RH", 400),
    ("S-N600", "MSO-N600", "TH-N600KP", 630),
]

# ---------------------------------------------------------------------------
# Thermal relay heaters. The table's heater column is the heater's nominal
# current in A, a number both drawings and the list take as such. Mitsubishi
# gives each heater a nominal current with its setting range beside it (11 A
# covers 9 to 13 A); Fuji designates a heater by its setting range ("9-13"),
# so its nominal current is taken as the middle of that range (11). The
# ranges are listed in data/README.md. Of the heaters of the chosen relay
# whose range holds the current, the one whose middle lies closest to it is
# taken.
# ---------------------------------------------------------------------------

def _r(text):
    lo, hi = (float(v) for v in text.split("-"))
    return f"{(lo + hi) / 2:g}", lo, hi


FUJI_HEATERS = {
    "TR-0N/3": [_r(t) for t in [
        "0.1-0.15", "0.15-0.24", "0.24-0.36", "0.34-0.52", "0.48-0.72",
        "0.64-0.96", "0.8-1.2", "0.95-1.45", "1.4-2.2", "1.7-2.6", "2.2-3.4",
        "2.8-4.2", "4-6", "5-8", "6-9", "7-11", "9-13", "12-18"]],
    "TR-5-1N/3": [_r(t) for t in ["12-18", "16-22", "18-26", "24-36", "28-40"]],
    "TR-N2/3": [_r(t) for t in ["18-26", "24-36", "28-40", "34-50", "45-65"]],
    "TR-N3/3": [_r(t) for t in ["45-65", "54-80", "65-95"]],
    "TR-N5/3": [_r(t) for t in ["65-95", "85-125", "110-160"]],
    "TR-N6/3": [_r(t) for t in ["110-160", "125-185", "160-240"]],
    "TR-N12/3": [_r(t) for t in ["160-240", "200-300", "240-360", "300-450",
                                 "400-600", "480-720"]],
}

# nominal current -> (setting range low, high)
MITSUBISHI_NOMINALS = {
    "0.12": (0.1, 0.16), "0.17": (0.14, 0.22), "0.24": (0.2, 0.32),
    "0.35": (0.28, 0.42), "0.5": (0.4, 0.6), "0.7": (0.55, 0.85),
    "0.9": (0.7, 1.1), "1.3": (1.0, 1.6), "1.7": (1.4, 2.0),
    "2.1": (1.7, 2.5), "2.5": (2.0, 3.0), "3.6": (2.8, 4.4),
    "5": (4.0, 6.0), "6.6": (5.2, 8.0), "9": (7.0, 11.0), "11": (9.0, 13.0),
    "15": (12.0, 18.0), "22": (18.0, 26.0), "29": (24.0, 34.0),
    "35": (30.0, 40.0), "42": (34.0, 50.0), "54": (43.0, 65.0),
    "67": (54.0, 80.0), "82": (65.0, 100.0), "105": (85.0, 125.0),
    "125": (100.0, 150.0), "150": (120.0, 180.0), "180": (140.0, 220.0),
    "210": (170.0, 250.0), "250": (200.0, 300.0), "330": (260.0, 400.0),
    "500": (400.0, 600.0), "660": (520.0, 800.0),
}


def _m(*nominals):
    return [(n, *MITSUBISHI_NOMINALS[n]) for n in nominals]


MITSUBISHI_HEATERS = {
    "TH-T18": _m("0.12", "0.17", "0.24", "0.35", "0.5", "0.7", "0.9", "1.3",
                 "1.7", "2.1", "2.5", "3.6", "5", "6.6", "9", "11", "15"),
    "TH-T25": _m("11", "15", "22"),
    "TH-T50": _m("22", "29", "35", "42"),
    "TH-T65": _m("42", "54"),
    "TH-T100": _m("54", "67", "82"),
    "TH-N120": _m("82", "105"),
    "TH-N220RH": _m("105", "125", "150", "180", "210"),
    "TH-N400RH": _m("250", "330"),
    "TH-N600KP": _m("500", "660"),
}

# ---------------------------------------------------------------------------
# Moulded-case and earth-leakage breakers: rated current from the full-load
# current (a direct-on-line start draws six to eight times full-load current,
# a star-delta start a third of that, so the star-delta breaker can sit
# closer), frame from the rated current, separately for the economy ("EA")
# and the standard ("SA") line of each maker.
# ---------------------------------------------------------------------------

BREAKER_RATINGS = [3, 5, 10, 15, 20, 30, 40, 50, 60, 75, 100, 125, 150, 175,
                   200, 225, 250, 300, 350, 400, 500, 600, 700, 800]

# (largest rated current of the frame, EA line, SA line, EA earth-leakage,
#  SA earth-leakage)
FUJI_BREAKERS = [
    (30, "EA33", "SA33", "EG33", "SG33"),
    (50, "EA53", "SA53", "EG53", "SG53"),
    (100, "EA103", "SA103", "EG103", "SG103"),
    (225, "EA203", "SA203", "EG203", "SG203"),
    (400, "EA403", "SA403", "EG403", "SG403"),
    (600, "EA603", "SA603", "EG603", "SG603"),
    (800, "EA803", "SA803", "EG803", "SG803"),
]

# Mitsubishi's economy (C class) and standard (S class) lines are built on
# different frame sizes, so each line has its own ladder.
MITSUBISHI_EA_BREAKERS = [
    (30, "NF30-CS", "NV30-CS"),
    (50, "NF50-CS", "NV50-CS"),
    (100, "NF100-CS", "NV100-CS"),
    (225, "NF225-CS", "NV225-CS"),
    (400, "NF400-CS", "NV400-CS"),
    (600, "NF600-CS", "NV600-CS"),
    (800, "NF800-CEW", "NV800-CEW"),
]
MITSUBISHI_SA_BREAKERS = [
    (30, "NF32-SV", "NV32-SV"),
    (60, "NF63-SV", "NV63-SV"),
    (125, "NF125-SV", "NV125-SV"),
    (250, "NF250-SV", "NV250-SV"),
    (400, "NF400-SW", "NV400-SW"),
    (630, "NF630-SW", "NV630-SW"),
    (800, "NF800-SEW", "NV800-SEW"),
]


def breaker_rating(current, star_delta):
    if star_delta:
        factor = 1.3 if current <= 400 else 1.25
    else:
        factor = 1.6 if current <= 400 else 1.5
    need = max(current * factor, current * 1.25)
    return next(r for r in BREAKER_RATINGS if r >= need - 1e-9)


# ---------------------------------------------------------------------------
# Wires: 600 V PVC-insulated stranded wire laid in the panel, sized for 1.25
# times the current it carries up to 50 A and 1.1 times above. Sizes in mm2
# with their ampacity in air.
# ---------------------------------------------------------------------------

WIRES = [(2, 27), (3.5, 37), (5.5, 49), (8, 61), (14, 88), (22, 115),
         (38, 162), (60, 217), (100, 298), (150, 395), (200, 469),
         (250, 556), (325, 650), (400, 754), (500, 868)]

# The power-factor capacitor SC of a starter is chosen at roughly a third of
# the motor's kW in kvar, so its lead carries about 0.3 x full-load current.
CAPACITOR_SHARE = 0.3


def wire_size(current):
    need = current * (1.25 if current <= 50 else 1.1)
    return next(size for size, ampacity in WIRES if ampacity >= need)


def num(value):
    """A number as a designer writes it: 3.5, 22, never 22.0."""
    return f"{value:g}"


# ---------------------------------------------------------------------------
# Records
# ---------------------------------------------------------------------------

def frame_index(frames, current):
    for i, frame in enumerate(frames):
        if current <= frame[3]:
            return i
    raise SystemExit(f"no contactor frame for {current:.1f} A")


def pick_heater(ladder, current):
    fits = [h for h in ladder if h[1] <= current <= h[2]]
    if not fits:
        raise SystemExit(f"no heater for {current:.2f} A in {ladder}")
    return min(fits, key=lambda h: abs(math.log(current / math.sqrt(h[1] * h[2]))))[0]


class Maker:
    def __init__(self, frames, heaters, breakers):
        self.frames = frames
        self.heaters = heaters
        self.breakers = breakers  # rating -> (EA, SA, EA leak, SA leak)


def fuji_breakers(rating):
    for limit, ea, sa, eg, sg in FUJI_BREAKERS:
        if rating <= limit:
            return ea, sa, eg, sg
    raise SystemExit(f"no breaker frame for {rating} A")


def mitsubishi_breakers(rating):
    ea = next(b for b in MITSUBISHI_EA_BREAKERS if rating <= b[0])
    sa = next(b for b in MITSUBISHI_SA_BREAKERS if rating <= b[0])
    return ea[1], sa[1], ea[2], sa[2]


FUJI = Maker(FUJI_FRAMES, FUJI_HEATERS, fuji_breakers)
MITSUBISHI = Maker(MITSUBISHI_FRAMES, MITSUBISHI_HEATERS, mitsubishi_breakers)

HEADER = ["区分", "キー", "電流(A)", "MS/MCM", "MCS", "MC⊿", "ｻｰﾏﾙﾘﾚｰ",
          "ﾋｰﾀ(A)", "MCB EA", "MCB SA", "定格(A)", "A.B", "C.D", "E.F", "G",
          "H", "ELB EA", "ELB SA"]


def direct_on_line(maker, volt, kw):
    flc_text = FULL_LOAD_CURRENT[volt][kw]
    flc = float(flc_text)
    contactor, switch, relay, _ = maker.frames[frame_index(maker.frames, flc)]
    rating = breaker_rating(flc, star_delta=False)
    ea, sa, eg, sg = maker.breakers(rating)
    return [f"直入 {volt}V {kw}kW", f"1 {volt} {kw}", flc_text, switch, "", "",
            relay, pick_heater(maker.heaters[relay], flc), ea, sa, str(rating),
            num(wire_size(flc)), "", "", "", "", eg, sg]


def star_delta(maker, volt, kw):
    flc_text = FULL_LOAD_CURRENT[volt][kw]
    flc = float(flc_text)
    phase = flc * PHASE_SHARE
    main = maker.frames[frame_index(maker.frames, phase)]
    star = maker.frames[frame_index(maker.frames, flc * STAR_SHARE)]
    relay = main[2]
    rating = breaker_rating(flc, star_delta=True)
    ea, sa, eg, sg = maker.breakers(rating)
    return [f"Y-⊿ {volt}V {kw}kW", f"2 {volt} {kw}", flc_text, main[0], star[0],
            main[0], relay, pick_heater(maker.heaters[relay], phase), ea, sa,
            str(rating), num(wire_size(flc)), num(wire_size(phase)),
            num(wire_size(phase)), num(wire_size(flc * STAR_SHARE)),
            num(wire_size(flc * CAPACITOR_SHARE)), eg, sg]


def table(maker):
    rows = [HEADER]
    for volt in ("200", "400"):
        rows += [direct_on_line(maker, volt, kw) for kw in DOL_OUTPUTS]
    for volt in ("200", "400"):
        rows += [star_delta(maker, volt, kw) for kw in STAR_DELTA_OUTPUTS]
    return rows


# ---------------------------------------------------------------------------
# Consistency: what a designer would reject at a glance.
# ---------------------------------------------------------------------------

def check(maker, rows):
    names = [f[0] for f in maker.frames]
    switches = [f[1] for f in maker.frames]
    by_key = {r[1]: r for r in rows[1:]}
    assert len(rows) == 73 and len(by_key) == 72
    for row in rows:
        assert len(row) == 18
        for cell in row:
            assert '"' not in cell and "," not in cell, cell
    for row in rows[1:]:
        assert NUMBER.match(row[7]), row  # the heater is a current, not a range
    for start, outputs in (("1", DOL_OUTPUTS), ("2", STAR_DELTA_OUTPUTS)):
        for volt in ("200", "400"):
            group = [by_key[f"{start} {volt} {kw}"] for kw in outputs]
            for col in (2, 10, 11):
                values = [float(r[col]) for r in group]
                assert values == sorted(values), (start, volt, col)
            currents = [float(r[2]) for r in group]
            assert all(a < b for a, b in zip(currents, currents[1:]))
    for kw in STAR_DELTA_OUTPUTS:
        for volt in ("200", "400"):
            sd = by_key[f"2 {volt} {kw}"]
            dol = by_key.get(f"1 {volt} {kw}")
            if dol is not None:
                dol_frame = switches.index(dol[3])
                assert names.index(sd[4]) < dol_frame, (volt, kw)
                assert names.index(sd[5]) < dol_frame, (volt, kw)
                assert float(sd[10]) <= float(dol[10]), (volt, kw)
            assert names.index(sd[4]) <= names.index(sd[5])
    for kw in DOL_OUTPUTS:
        assert float(by_key[f"1 400 {kw}"][2]) < float(by_key[f"1 200 {kw}"][2])


# ---------------------------------------------------------------------------
# Writing, as the program's CSV writer does.
# ---------------------------------------------------------------------------

# Optional blanks, optional sign, then a non-empty rest: digits, optionally
# "." and digits, optionally an exponent with at least one digit. Either run
# of digits before the exponent may be empty; nothing may follow.
NUMBER = re.compile(r" *[+-]?(?=.)[0-9]*(\.[0-9]*)?([Ee][+-]?[0-9]+)?\Z", re.S)


def quote(cell):
    return cell if NUMBER.match(cell) else f'"{cell}"'


def encode(rows):
    text = "".join(",".join(quote(c) for c in row) + "\r\n" for row in rows)
    return text.encode("cp932")


def main(argv):
    outputs = {"fd.dat": FUJI, "mel.dat": MITSUBISHI}
    stale = []
    for name, maker in outputs.items():
        rows = table(maker)
        check(maker, rows)
        data = encode(rows)
        path = DATA / name
        if "--check" in argv:
            if not path.exists() or path.read_bytes() != data:
                stale.append(name)
        else:
            path.parent.mkdir(exist_ok=True)
            path.write_bytes(data)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
