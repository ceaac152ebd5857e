#!/usr/bin/env bash
# Where the start-up working set goes: Qel-Wirmap and the minimal window are
# each started under Wine and left to settle; then the resident pages of
# every mapping of each process (/proc/PID/smaps) are summed by file, and the
# mappings that differ are listed, largest difference first. [heap] is the
# Unix side's malloc heap (Wine's window, GDI, font and X code), [anon] the
# Windows heaps, stacks and bitmaps.
# Usage: bench/startup-memory.sh [seconds to settle, default 5]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/prepare.sh
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export SETTLE=${1:-5} OUT=$out
tools/wine-session.sh bash -c '
  resident() {  # program name, Windows path, folder to start in
    (cd "$3" && "$WINE" "$2" >/dev/null 2>&1 &)
    sleep "$SETTLE"
    # 32-bit Wine shows the program path with backslashes: match the file name.
    pid=$(pgrep -f "${2##*/}\$" | head -n 1 || true)
    if [ -z "$pid" ]; then echo "$1 did not start" >&2; exit 1; fi
    cp "/proc/$pid/smaps" "$OUT/$1"
  }  # both are left running: the session ends them
  resident program "Z:$PWD/build/windows/app/Qel-Wirmap.exe" build/windows/app
  resident minimal "Z:$PWD/build/windows/win_minimal_window.exe" build/windows
'
python3 - "$out/program" "$out/minimal" <<'PY'
import re, sys
def resident(path):
    kb, name = {}, None
    for line in open(path):
        if re.match(r'^[0-9a-f]+-[0-9a-f]+ ', line):
            parts = line.split(None, 5)
            name = parts[5].strip() if len(parts) > 5 else '[anon]'
            if name.endswith('.exe'): name = '(the program file)'
            name = name.split('/')[-1]
        elif line.startswith('Rss:'):
            kb[name] = kb.get(name, 0) + int(line.split()[1])
    return kb
program, minimal = resident(sys.argv[1]), resident(sys.argv[2])
rows = sorted(((program.get(n, 0) - minimal.get(n, 0), n) for n in set(program) | set(minimal)), reverse=True)
print(f"resident memory by mapping, Qel-Wirmap against the minimal window (MB)")
print(f"  {'mapping':<40} {'program':>8} {'minimal':>8} {'diff':>8}")
for diff, n in rows:
    if abs(diff) >= 32:
        print(f"  {n:<40} {program.get(n, 0)/1024:8.2f} {minimal.get(n, 0)/1024:8.2f} {diff/1024:+8.2f}")
print(f"  {'total':<40} {sum(program.values())/1024:8.2f} {sum(minimal.values())/1024:8.2f} "
      f"{(sum(program.values()) - sum(minimal.values()))/1024:+8.2f}")
PY
