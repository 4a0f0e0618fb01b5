#!/usr/bin/env bash
# Remakes the pictures of every dialog for the user guide (docs/images/), with
# their window frames, under Xvfb and Wine: the installer's road on the demo
# client, then each dialog of the helper that it installed.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)
# The main job says when it could not take a picture; nothing else of it here.
QUOP_HEADLESS=1 scripts/run.sh | { grep -a 'no picture' >&2 || true; }
QUOP_RUN_TARGETS="pack quop32_us donothing urlrec demo_installer demo_helper"
. scripts/bench-env.sh
build=$QUOP_RUN_BUILD
pictures=$build/screenshots/helper
rm -rf "$pictures"
mkdir -p "$pictures" docs/images
"$QUOP_RUN" "$build/tests/support/demo_helper.exe" pictures 'C:\Quop\' "Z:$(echo "$pictures" | tr / '\\')\\"
for bmp in "$pictures"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
for png in "$build"/screenshots/installation/*.png "$pictures"/*.png; do
  name=$(basename "$png")
  cp "$png" "docs/images/${name#??-}"
done
status=0
for png in docs/images/*.png; do
  if [ "$(stat -c %Y "$png")" -lt "$started" ]; then
    echo "screenshots: $png was not remade" >&2
    status=1
  fi
done
ls docs/images
exit $status
