#!/usr/bin/env bash
# Fails when a program imports from a C run-time library (a first-release
# Windows 95 has none) or from a library that Windows 7 to 11 do not keep as
# a KnownDLL (such a library is looked for in the program's own folder
# first, a downloads folder where any web page can leave a DLL, and loaded
# before any line of the program runs), or a function that is not on the
# list of those that Windows 95 and NT 4.0 export (the Windows loader
# refuses to start a program that imports anything its system DLLs lack),
# or when the list itself names a later version or another library.
#   check-imports.sh OBJDUMP LIST EXE...
# With QUOP_IMPORTS_CRT_ONLY=1 only the first two rules hold: for the 64-bit twins
# of the deliverables, whose system headers name some functions otherwise
# (GetWindowLongPtrA for the 32-bit GetWindowLongA).
set -euo pipefail
objdump=$1 list=$2
shift 2
status=0
# A C run-time library, in any of its releases.
crt_dll() { echo "$1" | grep -qiE '^(msvcr|msvcp|ucrtbase|crtdll|api-ms-win-crt-|libgcc|libstdc|libwinpthread)'; }
# The libraries that Windows 7 to 11 always take from the system directory
# and that Windows 95 and NT 4.0 also have (msvcrt.dll, a KnownDLL, is a C
# run-time library).
known_dll() { echo "$1" | grep -qixE '(kernel32|user32|gdi32|advapi32|shell32|ole32|comdlg32)\.dll'; }
# The list: "dll function first-9x first-NT".
while read -r dll function win9x nt; do
  case "$dll" in "" | \#*) continue ;; esac
  if [ "$win9x" != 95 ] || ! awk -v v="$nt" 'BEGIN { exit !(v + 0 <= 4.0) }'; then
    echo "list: $dll $function is not there on Windows 95 ($win9x) and NT 4.0 ($nt)" >&2
    status=1
  fi
  if crt_dll "$dll" || ! known_dll "$dll"; then
    echo "list: $dll is a C run-time library or no KnownDLL" >&2
    status=1
  fi
done <"$list"
allowed=$(grep -v '^#' "$list" | awk 'NF { print tolower($1) " " $2 }' | sort -u)
for exe in "$@"; do
  imports=$("$objdump" -p "$exe" | awk -F'\t' '
    /DLL Name:/ { split($2, a, ": "); dll = tolower(a[2]); next }
    /^$/ { dll = "" }
    dll != "" && NF >= 3 && $2 ~ /^[0-9a-f]+$/ { split($3, b, " "); print dll " " (b[2] != "" ? b[2] : "#" b[1]) }' |
    sort -u)
  echo "$(basename "$exe"): $(echo "$imports" | wc -l) functions from $(echo "$imports" | awk '{print $1}' | sort -u | xargs)"
  for dll in $(echo "$imports" | awk '{print $1}' | sort -u); do
    if crt_dll "$dll"; then
      echo "  imports from a C run-time library: $dll" >&2
      status=1
    elif ! known_dll "$dll"; then
      echo "  imports from a library that is no KnownDLL: $dll" >&2
      status=1
    fi
  done
  [ "${QUOP_IMPORTS_CRT_ONLY:-}" = 1 ] && continue
  unlisted=$(comm -23 <(echo "$imports") <(echo "$allowed"))
  if [ -n "$unlisted" ]; then
    echo "$unlisted" | sed 's/^/  not on the list: /' >&2
    status=1
  fi
done
exit $status
