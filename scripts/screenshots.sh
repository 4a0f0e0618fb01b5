#!/usr/bin/env bash
# Writes PNG screenshots of the programs' dialogs, with their frames, under
# build/<preset>/screenshots/ for visual review.
set -euo pipefail
. "$(dirname "$0")/bench-env.sh"
out=$QUOP_RUN_BUILD/screenshots
mkdir -p "$out"
display=$(cat "$QUOP_RUN_BUILD/wine-bench/display")

# shot NAME TITLE: the window with that title, cropped out of the screen.
shot() {
  local rect
  rect=$("$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/winrect.exe" "$2" | tr -d '\r')
  read -r x y w h <<<"$rect"
  import -display "$display" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$1.png"
  echo "wrote $out/$1.png"
}

"$QUOP_RUN" "$QUOP_RUN_BUILD/installer/trinstall.exe" &
installer=$!
shot installer-main "Actualitzador del Quop 5.61"
kill "$installer" 2>/dev/null || true
