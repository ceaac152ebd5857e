#!/usr/bin/env bash
# Installs the AutoCAD stand-in into the project's Wine prefix the way the
# real edition is installed on 64-bit Windows: a 32-bit program, so its
# program file lies in a folder under "Program Files (x86)" (with blanks in
# its name, as on a real machine), the message file beside it, its registry
# keys written through the 32-bit view (SOFTWARE\Wow6432Node for 64-bit
# readers) and its "Autodesk Shared" folder under the 32-bit Common Files.
#   QEL_ACAD_ROLE=2000 (default)  AutoCAD 2000:  ACAD.EXE, version 15.0.0,
#       HKLM SOFTWARE\Autodesk\AutoCAD\R15.0 CurVer, ...\ACAD-1:409 AcadLocation,
#       HKCU ...\R15.0\ACAD-1:409\Profiles = <<Unnamed Profile>> with
#       Drawing Window\SDIMode.
#   QEL_ACAD_ROLE=lt98            AutoCAD LT 98: ACLT.EXE,
#       HKLM SOFTWARE\Autodesk\AutoCAD LT\R5.0 CurVer, ...\ACLT-5001:409 AcltLocation.
# Quick when nothing changed: a stamp in the prefix records what was
# installed, and the registry file is only grepped.
set -euo pipefail
: "${QEL_ROOT:?}" "${QEL_WINDOWS_BUILD:?}" "${WINE:?}" "${WINEPREFIX:?}"
role=${QEL_ACAD_ROLE:-2000}
bin="$QEL_WINDOWS_BUILD/standin/acad/bin"

case "$role" in
  2000) exe=ACAD.EXE; folder="AutoCAD 2000"
        hklm='SOFTWARE\Autodesk\AutoCAD\R15.0'; product='ACAD-1:409'; value=AcadLocation ;;
  lt98) exe=ACLT.EXE; folder="AutoCAD LT 98"
        hklm='SOFTWARE\Autodesk\AutoCAD LT\R5.0'; product='ACLT-5001:409'; value=AcltLocation ;;
  *) echo "QEL_ACAD_ROLE must be 2000 or lt98, not '$role'" >&2; exit 1 ;;
esac
if [ ! -f "$bin/$exe" ]; then
  echo "AutoCAD stand-in not built ($bin/$exe); not installed" >&2
  exit 0
fi

progdir="$WINEPREFIX/drive_c/Program Files (x86)/$folder"
winfolder="C:\\Program Files (x86)\\$folder"
shared="$WINEPREFIX/drive_c/Program Files (x86)/Common Files/Autodesk Shared"
# The 32-bit registry tools write and read the 32-bit view, as the real
# 32-bit installer does.
reg32() { "$WINE" 'C:\windows\syswow64\reg.exe' "$@"; }
regedit32() { "$WINE" 'C:\windows\syswow64\regedit.exe' "$@"; }
stamp="$WINEPREFIX/.qel-acad-standin"
sum=$(md5sum "$bin/$exe" | cut -d' ' -f1)
want="$role $sum"
# The key line as the prefix's registry file writes it (backslashes doubled),
# where the 32-bit view keeps it.
keyline="[$(printf '%s\\%s' "${hklm/SOFTWARE/SOFTWARE\\Wow6432Node}" "$product" | sed 's/\\/\\\\/g')]"
# A drawing job removes the profile's SDIMode value (the real AutoCAD writes
# its profile back when it ends; the stand-in is usually ended by force), so
# its presence is part of being installed.
profile_current() {
  [ "$role" != 2000 ] && return 0
  grep -A3 -F 'Profiles\\<<Unnamed Profile>>\\Drawing Window]' "$WINEPREFIX/user.reg" 2>/dev/null \
    | grep -q '^"SDIMode"='
}
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] && [ -f "$progdir/$exe" ] && [ -d "$shared" ] \
   && grep -qiF "$keyline" "$WINEPREFIX/system.reg" 2>/dev/null && profile_current; then
  exit 0
fi

# Another role installed before: its folder and keys go, so that only one
# edition is found.
if [ -f "$stamp" ]; then
  old=$(cut -d' ' -f1 "$stamp")
  if [ "$old" != "$role" ]; then
    case "$old" in
      2000) rm -rf "$WINEPREFIX/drive_c/Program Files (x86)/AutoCAD 2000"
            reg32 delete 'HKLM\SOFTWARE\Autodesk\AutoCAD\R15.0' /f >/dev/null 2>&1 || true
            reg32 delete 'HKCU\Software\Autodesk\AutoCAD\R15.0' /f >/dev/null 2>&1 || true ;;
      lt98) rm -rf "$WINEPREFIX/drive_c/Program Files (x86)/AutoCAD LT 98"
            reg32 delete 'HKLM\SOFTWARE\Autodesk\AutoCAD LT\R5.0' /f >/dev/null 2>&1 || true ;;
    esac
  fi
fi

mkdir -p "$progdir" "$shared"
cp -f "$bin/$exe" "$progdir/$exe"
touch "$progdir/${exe%.EXE}.xmx"

esc() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\%s]\r\n"CurVer"="%s"\r\n\r\n' "$(esc "$hklm")" "$product"
  printf '[HKEY_LOCAL_MACHINE\\%s\\%s]\r\n"%s"="%s"\r\n\r\n' "$(esc "$hklm")" "$product" "$value" "$(esc "$winfolder")"
  if [ "$role" = 2000 ]; then
    profiles="Software\\Autodesk\\AutoCAD\\R15.0\\$product\\Profiles"
    printf '[HKEY_CURRENT_USER\\%s]\r\n@="<<Unnamed Profile>>"\r\n\r\n' "$(esc "$profiles")"
    printf '[HKEY_CURRENT_USER\\%s\\<<Unnamed Profile>>\\Drawing Window]\r\n"SDIMode"=dword:00000000\r\n\r\n' "$(esc "$profiles")"
  fi
} | iconv -f UTF-8 -t UTF-16 > "$reg"
regedit32 /S "Z:$(printf '%s' "$reg" | tr '/' '\\')" >/dev/null 2>&1
reg32 query "HKLM\\$hklm\\$product" /v "$value" >/dev/null 2>&1 \
  || { echo "AutoCAD stand-in: registry keys not written" >&2; exit 1; }
echo "$want" > "$stamp"
