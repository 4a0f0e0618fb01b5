#!/usr/bin/env bash
# The Wine test bench of one build folder.
#   wine-bench.sh BUILD up [swept]
#                               display, prefix, persistent wine server, URL handlers; with
#                               "swept" (as the tests bring it up) the prefix swept of what
#                               killed tests left, which takes away the main job's demo client
#   wine-bench.sh BUILD ensure  quick check that "up" has run and still holds (else runs it);
#                               after a test found the desktop hung, down and up again
#   wine-bench.sh BUILD down    ends every Wine process of the prefix and the virtual display
# The display is chosen here alone, when the bench comes up: the caller's
# $DISPLAY then, else a virtual display of the bench's own. It is recorded
# in the bench folder, and every Wine process of the bench uses that one.
set -euo pipefail
build=$(cd "$1" && pwd)
action=$2
swept=${3:-}
user_display=${DISPLAY:-}
. "$build/wine-env.sh"
bench=$QUOP_BENCH_DIR
mkdir -p "$bench"

xvfb_alive() {
  [ -f "$bench/xvfb.pid" ] && kill -0 "$(cat "$bench/xvfb.pid")" 2>/dev/null
}

# A display for every Wine process of this bench: the caller's, or a virtual
# one. The first Wine process of a prefix must already see it.
start_display() {
  if [ -n "$user_display" ]; then
    echo "$user_display" >"$bench/display"
    rm -f "$bench/xvfb.pid"
    return
  fi
  xvfb_alive && return
  # Xvfb takes a free display number itself and writes it out once it
  # listens there: no other server can take the number meanwhile.
  rm -f "$bench/display-number"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$bench/display-number" >"$bench/xvfb.log" 2>&1 \
    </dev/null &
  echo $! >"$bench/xvfb.pid"
  for _ in $(seq 1 100); do
    if grep -qE '^[0-9]+$' "$bench/display-number" 2>/dev/null; then
      echo ":$(cat "$bench/display-number")" >"$bench/display"
      return
    fi
    xvfb_alive || break
    sleep 0.1
  done
  kill "$(cat "$bench/xvfb.pid")" 2>/dev/null || true
  echo "wine-bench: no virtual display could be started" >&2
  cat "$bench/xvfb.log" >&2
  exit 1
}

# The prefix's settings for the tests:
# - a virtual desktop: Wine draws the window frames itself, and a window can
#   be destroyed without waiting for a window manager that is not there;
# - the handlers that the shell runs for http and mailto URLs: the URL recorder.
configure_prefix() {
  local recorder reg
  recorder="Z:$(echo "$build/tests/support/urlrec.exe" | tr / '\\')"
  reg="$bench/settings.reg"
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Explorer]'
    echo '"Desktop"="Default"'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]'
    echo '"Default"="1280x1024"'
    # A program that crashes ends at once with its backtrace on its output,
    # instead of waiting behind a crash dialog that no one answers.
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    for scheme in http mailto; do
      echo
      echo "[HKEY_LOCAL_MACHINE\\Software\\Classes\\$scheme\\shell\\open\\command]"
      echo "@=\"\\\"${recorder//\\/\\\\}\\\" %1\""
    done
  } >"$reg"
  "$QUOP_WINE" regedit /S "Z:$(echo "$reg" | tr / '\\')" >>"$bench/wine.log" 2>&1 </dev/null
}

fonts_dir=$WINEPREFIX/drive_c/windows/Fonts

# Wine's own metric-compatible Windows fonts (MS Sans Serif, Tahoma...), in
# which the dialogs are laid out. Wine reads them only from the prefix's font
# folder, which wineboot leaves empty: without them every dialog falls back
# to a wider host font. A prefix made without them gets them here.
fonts_present() {
  local font
  for font in /usr/share/wine/fonts/*; do
    cmp -s "$font" "$fonts_dir/$(basename "$font")" || return 1
  done
}

install_fonts() {
  if ! compgen -G '/usr/share/wine/fonts/*.fon' >/dev/null; then
    echo "wine-bench: Wine's fonts are missing from /usr/share/wine/fonts (package fonts-wine)" >&2
    exit 1
  fi
  fonts_present && return
  mkdir -p "$fonts_dir"
  cp /usr/share/wine/fonts/* "$fonts_dir/"
}

desktop_alive() {
  local windows
  # Read whole before it is searched: with pipefail, a search that stops at
  # its first match would end xwininfo early and count as no desktop.
  windows=$(DISPLAY=$(cat "$bench/display") xwininfo -root -tree 2>/dev/null) || return 1
  grep -q '"Default - Wine desktop"' <<<"$windows"
}

# The virtual desktop lives in an explorer process. Started here, it belongs
# to no test: started by the first window of a test's program, it would be
# in that program's process tree and job, end with it, and leave the rest of
# that test unable to create windows ("BadWindow" on X_CreateWindow).
start_desktop() {
  desktop_alive && return
  setsid "$QUOP_WINE" explorer.exe /desktop=Default,1280x1024 </dev/null >>"$bench/wine.log" 2>&1 &
  for _ in $(seq 1 300); do
    desktop_alive && return
    sleep 0.1
  done
  echo "wine-bench: the virtual desktop did not start" >&2
  exit 1
}

# The desktop keeper (tests/support/desktop_keeper.cpp) holds the desktop
# shell's objects for as long as the bench is up: without it, Wine's desktop
# hangs once in some thousand of the installer's calls into it. The bench is
# up once it holds them (a build without the tests has no keeper).
keeper=$build/tests/support/desktop_keeper.exe

keeper_alive() {
  [ -f "$bench/keeper.pid" ] && kill -0 "$(cat "$bench/keeper.pid")" 2>/dev/null
}

keeper_holds() {
  [ ! -f "$keeper" ] || keeper_alive
}

start_keeper() {
  keeper_holds && return
  rm -f "$bench/keeper-holds"
  setsid "$QUOP_WINE" "$keeper" "Z:$(echo "$bench/keeper-holds" | tr / '\\')" </dev/null >>"$bench/wine.log" 2>&1 &
  echo $! >"$bench/keeper.pid"
  for _ in $(seq 1 400); do
    [ -f "$bench/keeper-holds" ] && return
    keeper_alive || break
    sleep 0.1
  done
  echo "wine-bench: the desktop keeper could not hold the desktop shell's objects" >&2
  exit 1
}

up() {
  start_display
  export DISPLAY=$(cat "$bench/display")
  # Wine programs started here (and the services they bring up) must not hold
  # on to the caller's output: ctest waits for it to close.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-bench: making the Wine prefix $WINEPREFIX"
    "$WINESERVER" -k 2>/dev/null || true
    timeout 300 "$QUOP_WINE" wineboot -i >"$bench/wineboot.log" 2>&1 </dev/null || {
      cat "$bench/wineboot.log" >&2
      exit 1
    }
    # The user's Desktop, Documents... are links to the host's home folder:
    # make them folders of the prefix, so no test writes outside the build.
    find "$WINEPREFIX/drive_c/users" -mindepth 2 -maxdepth 2 -type l | while read -r link; do
      rm "$link" && mkdir "$link"
    done
    configure_prefix
    # The desktop takes its settings when it starts: start afresh.
    "$WINESERVER" -k 2>/dev/null || true
    timeout 60 "$WINESERVER" -w || true
  fi
  if ! fonts_present; then
    # Programs that already run keep the fonts they found: end them first.
    "$WINESERVER" -k 2>/dev/null || true
    timeout 60 "$WINESERVER" -w || true
    install_fonts
  fi
  # One server for the whole run, so that each test program starts quickly.
  "$WINESERVER" -p >>"$bench/wine.log" 2>&1 </dev/null || true
  configure_prefix
  start_desktop
  start_keeper
  # What tests that were killed left in the prefix (their own programs sweep
  # it too, before their first test).
  local sweep=$build/tests/support/prefix_sweep.exe
  if [ "$swept" = swept ] && [ -f "$sweep" ]; then
    timeout -s KILL 60 "$QUOP_WINE" "$sweep" >>"$bench/wine.log" 2>&1 </dev/null || {
      echo "wine-bench: the prefix could not be swept" >&2
      exit 1
    }
  fi
  touch "$bench/up"
}

down() {
  if [ -f "$WINEPREFIX/system.reg" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    timeout 30 "$WINESERVER" -w 2>/dev/null || true
  fi
  if xvfb_alive; then
    kill "$(cat "$bench/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$bench/xvfb.pid" "$bench/display" "$bench/up" "$bench/keeper.pid" "$bench/keeper-holds"
}

case "$action" in
  up) up ;;
  ensure)
    # Every test program checks first that the desktop answers; one that
    # found it hung (and failed at once, saying so) left this mark.
    if [ -f "$bench/desktop-hung" ]; then
      echo "wine-bench: a test found Wine's desktop hung: the bench is brought down and up again" >&2
      down
      rm -f "$bench/desktop-hung"
      up
      exit 0
    fi
    if [ -f "$bench/up" ] && [ -f "$WINEPREFIX/system.reg" ] && [ -f "$bench/display" ] &&
      { [ ! -f "$bench/xvfb.pid" ] || xvfb_alive; } && fonts_present && desktop_alive && keeper_holds; then
      exit 0
    fi
    up
    ;;
  down) down ;;
  *)
    echo "usage: wine-bench.sh BUILD up|ensure|down" >&2
    exit 2
    ;;
esac
