#!/usr/bin/env bash
# Fails unless a program exports exactly the given names, undecorated.
#   check-exports.sh OBJDUMP EXE NAME...
set -euo pipefail
objdump=$1 exe=$2
shift 2
expected=$(printf '%s\n' "$@" | sort)
# The name table lists "[ordinal] name" rows after its heading.
actual=$("$objdump" -p "$exe" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
echo "$(basename "$exe") exports: $(echo $actual)"
if [ "$actual" != "$expected" ]; then
  echo "  expected exactly: $(echo $expected)" >&2
  exit 1
fi
