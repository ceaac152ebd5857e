# Sourced by a COM stand-in's install.sh: register_local_server EXE NAME
# registers EXE (a path in this build) in the project's Wine prefix as the
# local server it serves, as an installed Office program is. Quick when the
# registration already points at this build's program; says so and does
# nothing when EXE is not built yet (NAME names it in that message).
register_local_server() {
  local exe=$1 name=$2
  [ -f "$exe" ] || { echo "$name not built yet: $exe" >&2; return 0; }
  local winexe escaped
  winexe="Z:$(printf '%s' "$exe" | tr / '\\')"
  # system.reg keeps the value with backslashes and quotes escaped.
  escaped=$(printf '"%s"' "$winexe" | sed 's/\\/\\\\/g; s/"/\\"/g')
  if grep -qF "@=\"$escaped\"" "$WINEPREFIX/system.reg" 2>/dev/null; then return 0; fi
  "$WINE" "$exe" /RegServer
}
