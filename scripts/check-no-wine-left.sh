#!/usr/bin/env bash
# Fails when a Wine process of this project's test prefixes is still running:
# every test must end what it started. A process that ends while it is being
# looked at was not left behind: only one still there on a second look counts.
cd "$(dirname "$0")/.."
root=$(pwd)

# The processes of the project's prefixes, one id a line.
project_wine_processes() {
  local pid prefix
  for pid in $(pgrep -f 'wineserver|\.exe' || true); do
    prefix=$({ tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | sed -n 's/^WINEPREFIX=//p')
    case "$prefix" in "$root"/build/*) echo "$pid" ;; esac
  done
}

first=$(project_wine_processes)
left=""
if [ -n "$first" ]; then
  sleep 1
  for pid in $first; do
    kill -0 "$pid" 2>/dev/null && ! grep -qs '^State:[[:space:]]*Z' "/proc/$pid/status" && left="$left $pid"
  done
fi
if [ -n "$left" ]; then
  echo "Wine processes left running:" >&2
  for pid in $left; do ps -o pid=,args= -p "$pid" >&2 || true; done
  exit 1
fi
echo "no Wine process left running"
