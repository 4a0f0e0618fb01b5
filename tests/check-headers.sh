#!/usr/bin/env bash
# Fails unless each program's header says what the program is: relocations
# kept (the "relocations stripped" bit clear and a base relocation table
# there), so that Windows 8 to 11 can move it when they randomise every
# image; DYNAMICBASE, NXCOMPAT, NO_SEH and TERMINAL_SERVER_AWARE; subsystem
# and system version 4.0, which Windows 95 and NT 4.0 start. With ":guarded"
# after a program, its code must also check its stack frames (calls of the
# guard's failure routine, found through the program's link map).
#   check-headers.sh OBJDUMP EXE[:guarded]...
set -euo pipefail
objdump=$1
shift
status=0
fail() {
  echo "  $1" >&2
  status=1
}
for entry in "$@"; do
  IFS=: read -r exe guarded functions <<<"$entry"
  header=$("$objdump" -p "$exe")
  # From a here-string, not a pipe: an awk that ends at its match would end a
  # writer still writing, and with pipefail the script then ends in silence.
  field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$header"; }
  echo "$(basename "$exe"): Characteristics $(field Characteristics), DllCharacteristics $(field DllCharacteristics)"
  (($(field Characteristics) & 0x0001)) && fail "relocations stripped"
  reloc_size=$(echo "$header" | awk '$1 == "Entry" && $2 == "5" { print $4 }')
  ((0x${reloc_size:-0} > 0)) || fail "no base relocation table"
  dll=$((0x$(field DllCharacteristics)))
  for flag in DYNAMIC_BASE:0x0040 NX_COMPAT:0x0100 NO_SEH:0x0400 TERMINAL_SERVER_AWARE:0x8000; do
    ((dll & ${flag#*:})) || fail "not ${flag%%:*}"
  done
  for version in SubsystemVersion OSystemVersion; do
    [ "$(field "Major$version").$(field "Minor$version")" = 4.0 ] || fail "$version is not 4.0"
  done
  if [ "$guarded" = guarded ]; then
    # The failure routine's address in the link map, and the calls of it.
    address=$(awk '$2 == "___stack_chk_fail" || $2 == "__stack_chk_fail" { print $1; exit }' "${exe%.exe}.map")
    calls=0
    [ -n "$address" ] && calls=$("$objdump" -d "$exe" | grep -cE "call +0x$(printf '%x' "$address")\$" || true)
    echo "  $calls checks of a stack frame"
    [ "$calls" -gt 0 ] || fail "no function checks its stack frame"
    for function in ${functions//,/ }; do
      # The function's own section in the map: its address and size.
      read -r start size < <(awk -v name="$function" '
        found { print $1, $2; exit } $1 ~ "^\\.text\\$" && index($1, name) { found = 1 }' "${exe%.exe}.map") || true
      if [ -z "${start:-}" ]; then
        fail "$function is not in the link map"
        continue
      fi
      stop=$(printf '0x%x' $((start + size)))
      # Read whole before it is searched: with pipefail, a search that stops
      # at its first match would end the disassembler early and fail.
      code=$("$objdump" -d --start-address="$start" --stop-address="$stop" "$exe")
      if grep -qE "call +0x$(printf '%x' "$address")\$" <<<"$code"; then
        echo "  $function checks its frame"
      else
        fail "$function does not check its frame"
      fi
    done
  fi
done
exit $status
