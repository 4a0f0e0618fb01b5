#!/usr/bin/env bash
# The main job: sets up, builds the programs and runs the web launcher under
# Wine, then shows what it asked the shell to open.
set -euo pipefail
. "$(dirname "$0")/bench-env.sh"
export URLREC_LOG=$QUOP_RUN_BUILD/wine-bench/run-urls.log
rm -f "$URLREC_LOG"
set +e
"$QUOP_RUN" "$QUOP_RUN_BUILD/weblauncher/verbalia.exe"
code=$?
set -e
for _ in $(seq 100); do [ -s "$URLREC_LOG" ] && break; sleep 0.1; done
echo "verbalia.exe exit code: $code (1: the shell took the address)"
echo "URLs handed to the shell:"
cut -f2 "$URLREC_LOG" 2>/dev/null | tr -d '\r' | sed 's/^/  /'
