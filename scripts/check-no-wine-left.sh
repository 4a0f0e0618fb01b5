#!/usr/bin/env bash
# Fails when a Wine process of this project's test prefixes is still running:
# every test must end what it started.
cd "$(dirname "$0")/.."
root=$(pwd)
left=""
for pid in $(pgrep -f 'wineserver|\.exe' || true); do
  prefix=$(tr '\0' '\n' </proc/$pid/environ 2>/dev/null | sed -n 's/^WINEPREFIX=//p')
  case "$prefix" in "$root"/build/*) left="$left $pid" ;; esac
done
if [ -n "$left" ]; then
  echo "Wine processes left running:" >&2
  for pid in $left; do ps -o pid=,args= -p "$pid" >&2 || true; done
  exit 1
fi
echo "no Wine process left running"
