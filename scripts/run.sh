#!/usr/bin/env bash
# The main job: sets up, builds the pack, makes a demo client installation
# in the project's Wine prefix and runs the pack's installer on it. With a
# display the installer opens for the user; without one the whole road of an
# installation runs headlessly and what happened is printed, with a picture
# of each dialog on the way, followed by chat links through the helper that
# the installer put in place.
set -euo pipefail
# The pack, the demo client's programs, the shell's URL recorder and the
# headless drivers: nothing else is built.
QUOP_RUN_TARGETS="pack quop32_us donothing urlrec demo_installer demo_helper"
. "$(dirname "$0")/bench-env.sh"
build=$QUOP_RUN_BUILD
drive_c=$build/wineprefix/drive_c
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
to_utf8() { iconv -f CP1252 -t UTF-8; }

# The user's download of the pack, and the client installation it updates.
pack=$drive_c/Baixades/quop-ca
client=$drive_c/Quop
rm -rf "$pack" "$client"
mkdir -p "$pack" "$client"
cp "$build"/pack/quop-ca/* "$pack/"
cp "$build/tests/support/standin/quop32_us.exe" "$client/quop32.exe"
cp tests/support/popups.ini "$client/popups.ini"
cp "$build/tests/support/donothing.exe" "$client/urlhop32.exe"
cp tests/support/quop.ini "$client/quop.ini"
rm -f "$drive_c/windows/verbalia.exe"
find "$drive_c/users" -maxdepth 3 -name Verbalia.LNK -delete

export URLREC_LOG=$build/wine-bench/run-urls.log
rm -f "$URLREC_LOG"

if [ -n "${DISPLAY:-}" ] && [ -z "${QUOP_HEADLESS:-}" ]; then
  echo "Opening the installer (C:\\Baixades\\quop-ca\\trinstall.exe); the demo client is C:\\Quop\\quop32.exe."
  "$QUOP_RUN" 'C:\Baixades\quop-ca\trinstall.exe' || true
else
  pictures=$build/screenshots/installation
  rm -rf "$pictures"
  mkdir -p "$pictures"
  echo "== the road of one installation, headless"
  "$QUOP_RUN" "$build/tests/support/demo_installer.exe" 'C:\Baixades\quop-ca\' 'C:\Quop\' \
    "$(winpath "$pictures")\\" | tr -d '\r' | to_utf8
  for bmp in "$pictures"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
  done
  echo "pictures of the dialogs: $pictures"
fi

echo "== the client folder C:\\Quop afterwards"
for pair in quop32.ca:quop32.exe popups.ca:popups.ini urlhop32.ca:urlhop32.exe; do
  source=${pair%%:*} target=${pair##*:}
  state="not replaced"
  cmp -s "$pack/$source" "$client/$target" && state="replaced by $source"
  backup="no backup"
  [ -f "$client/original/$target" ] && backup="backed up to original\\$target"
  echo "  $target: $state; $backup"
done
if [ -f "$drive_c/windows/verbalia.exe" ]; then
  same="differs from"
  cmp -s "$drive_c/windows/verbalia.exe" "$build/weblauncher/verbalia.exe" && same="identical to"
  echo "launcher C:\\windows\\verbalia.exe: $(stat -c %s "$drive_c/windows/verbalia.exe") bytes, $same the built verbalia.exe"
else
  echo "no launcher in C:\\windows"
fi
for _ in $(seq 50); do [ -s "$URLREC_LOG" ] && break; sleep 0.1; done
echo "URLs handed to the shell:"
if [ -s "$URLREC_LOG" ]; then
  tr -d '\r' <"$URLREC_LOG" | to_utf8 | awk -F'\t' '{ print "  " $3 " (started by " $2 ")" }'
else
  echo "  none"
fi

if [ -z "${DISPLAY:-}" ] || [ -n "${QUOP_HEADLESS:-}" ]; then
  echo "== chat links through the installed helper C:\\Quop\\urlhop32.exe (as a browser starts it)"
  "$QUOP_RUN" "$build/tests/support/demo_helper.exe" links 'C:\Quop\' | tr -d '\r' | to_utf8
  echo "C:\\Quop\\quop.ini afterwards (the helper recorded the client's path it learned):"
  tr -d '\r' <"$client/quop.ini" | to_utf8 | sed 's/^/  /'
fi
