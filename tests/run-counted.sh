#!/usr/bin/env bash
# Runs a GoogleTest program and fails unless it ran and passed at least
# COUNT tests: a filter that names a test which is no longer there (renamed,
# moved) runs fewer and still passes on its own.
#   run-counted.sh COUNT PROGRAM [ARGUMENTS...]
set -uo pipefail
count=$1
shift
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
[ "$status" -eq 0 ] || exit "$status"
ran=$(printf '%s\n' "$output" | tr -d '\r' | sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' | tail -n 1)
passed=$(printf '%s\n' "$output" | tr -d '\r' | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' | tail -n 1)
if [ "${ran:-0}" -lt "$count" ] || [ "${passed:-0}" -lt "$count" ]; then
  echo "run-counted: ${ran:-0} tests ran and ${passed:-0} passed; this run must pass at least $count" >&2
  exit 1
fi
