#!/usr/bin/env bash
# Fails when a program imports anything but the Windows system DLLs: no
# runtime DLL of the compiler (libgcc, libstdc++, libwinpthread) may be needed.
set -euo pipefail
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|comdlg32|comctl32|version|advapi32|msvcrt|shlwapi|uuid)\.dll$'
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  echo "$(basename "$exe"): $(echo $dlls)"
  for dll in $dlls; do
    if ! [[ $dll =~ $allowed ]]; then
      echo "  not a system DLL: $dll" >&2
      status=1
    fi
  done
done
exit $status
