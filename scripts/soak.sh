#!/usr/bin/env bash
# Runs a selection of the Wine tests RUNS times back to back (default 10),
# each run without any retry, beside a load of its own: two busy CPU loops and a second Wine
# prefix, with its own server and display, in which programs keep starting
# and ending. Prints per test how often it failed or timed out, and the wall
# time. Every run and every load process has a time limit; the load is ended
# by process id when the soak ends, however it ends.
#   scripts/soak.sh [RUNS [CTEST-SELECTION...]]
# The selection is given as to ctest (for example `-L faults` or
# `-R '^LinkRoad\.'`); without one, every Wine test runs.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
[ $# -gt 0 ] && shift
selection=("$@")
[ ${#selection[@]} -gt 0 ] || selection=(-LE static)
run_limit=${QUOP_SOAK_RUN_LIMIT:-1800}    # seconds for one run of the tests
load_limit=$((runs * run_limit + 600))   # seconds for each load process

scripts/setup.sh >/dev/null
if scripts/host-runs-32bit.sh; then preset=windows; else preset=windows64; fi
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
if [ $preset = windows64 ]; then
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 >/dev/null
fi
build=$(pwd)/build/$preset
out=$build/soak
rm -rf "$out"
mkdir -p "$out"
. "$build/wine-env.sh"
bench_wineserver=$WINESERVER

# The load's own prefix and display, so that it shares the machine (CPU, the
# Wine loader, process start and end) but none of the tests' state.
load_dir=$build/soak-load
export WINEPREFIX=$load_dir/prefix
load_pids=()
load_display=""

stop_load() {
  for pid in "${load_pids[@]}"; do
    kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true
  done
  for pid in "${load_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  WINEPREFIX=$load_dir/prefix timeout 30 "$bench_wineserver" -k 2>/dev/null || true
  WINEPREFIX=$load_dir/prefix timeout 30 "$bench_wineserver" -w 2>/dev/null || true
}
trap stop_load EXIT

start_load_display() {
  # Xvfb takes a free display number itself (see wine-bench.sh).
  rm -f "$out/load-display-number"
  setsid timeout "$load_limit" Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$out/load-display-number" \
    >"$out/load-xvfb.log" 2>&1 </dev/null &
  load_pids+=($!)
  for _ in $(seq 1 100); do
    if grep -qE '^[0-9]+$' "$out/load-display-number" 2>/dev/null; then
      load_display=":$(cat "$out/load-display-number")"
      return
    fi
    sleep 0.1
  done
  echo "soak: no display for the load" >&2
  exit 1
}

start_load() {
  mkdir -p "$load_dir"
  start_load_display
  export DISPLAY=$load_display
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "soak: making the load's Wine prefix"
    timeout 300 "$QUOP_WINE" wineboot -i >"$out/load-wineboot.log" 2>&1 </dev/null
  fi
  # Wine's own fonts, as in every prefix of the project (see wine-bench.sh).
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  local donothing standin
  donothing="Z:$(echo "$build/tests/support/donothing.exe" | tr / '\\')"
  standin="Z:$(echo "$build/tests/support/standin/quop32_us.exe" | tr / '\\')"
  # Programs starting and ending: one that ends at once, and a DDE server
  # with a window that is killed from outside after a moment.
  setsid timeout "$load_limit" bash -c '
    while :; do
      timeout 30 "$1" "$2" >/dev/null 2>&1 </dev/null
      timeout -s KILL 3 "$1" "$3" --service=SoakLoad >/dev/null 2>&1 </dev/null
    done' load "$QUOP_WINE" "$donothing" "$standin" 2>>"$out/load.log" &
  load_pids+=($!)
  for _ in 1 2; do
    setsid timeout "$load_limit" sh -c 'while :; do :; done' &
    load_pids+=($!)
  done
  unset DISPLAY
}

# Evidence of a hang: a program under test (a Wine process of the tests'
# prefix, started by a test program, not by ctest) that has lived for 40 s
# with its output on a pipe (the bench's own processes write to its log; a
# test's processes live a few seconds and write where ctest reads): what it
# and every other process of the prefix are doing, and who holds that pipe.
snapshot_hangs() {
  local run=$1 pid p age out1 file
  while :; do
    sleep 5
    for pid in $(pgrep -f '\.exe' || true); do
      { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$build/wineprefix" || continue
      # A test program itself (ctest's child) may run for minutes: the sweeps do.
      [ "$(ps -o comm= -p "$(awk '/^PPid/{print $2}' "/proc/$pid/status" 2>/dev/null)" 2>/dev/null)" = ctest ] && continue
      out1=$(readlink "/proc/$pid/fd/1" 2>/dev/null || true)
      case "$out1" in pipe:*) ;; *) continue ;; esac
      age=$(ps -o etimes= -p "$pid" 2>/dev/null | tr -d ' ')
      file=$out/hang-$run-$pid.txt
      [ -n "$age" ] && [ "$age" -ge 40 ] && [ ! -e "$file" ] || continue
      {
        echo "$pid has run for $age s with its output on $out1: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
        for p in /proc/[0-9]*; do
          p=${p#/proc/}
          ls -l "/proc/$p/fd" 2>/dev/null | grep -q -F "$out1" || continue
          echo "  holds that pipe: $p $(tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null)"
        done
        echo "processes of the prefix:"
        for p in /proc/[0-9]*; do
          p=${p#/proc/}
          { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$build/wineprefix" || continue
          printf '  %s ppid=%s state=%s wchan=%s age=%ss %s\n' "$p" \
            "$(awk '/^PPid/{print $2}' "/proc/$p/status" 2>/dev/null)" \
            "$(awk '/^State/{print $2}' "/proc/$p/status" 2>/dev/null)" "$(cat "/proc/$p/wchan" 2>/dev/null)" \
            "$(ps -o etimes= -p "$p" 2>/dev/null | tr -d ' ')" "$(tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null)"
        done
      } >"$file" 2>/dev/null
    done
  done
}

start_load
export WINEPREFIX=$build/wineprefix
started=$(date +%s)
declare -A failed timedout
clean=0
for run in $(seq 1 "$runs"); do
  log=$out/run-$run.log
  t0=$(date +%s)
  status=0
  snapshot_hangs "$run" &
  watcher=$!
  timeout "$run_limit" ctest --preset $preset "${selection[@]}" >"$log" 2>&1 || status=$?
  kill "$watcher" 2>/dev/null || true
  wait "$watcher" 2>/dev/null || true
  [ $status -eq 124 ] && echo "    (the run did not end within $run_limit s)" >>"$log"
  # ctest lists what went wrong after "The following tests FAILED:".
  bad=$(sed -n '/The following tests FAILED:/,$p' "$log" | sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(.*\))$/\2 \1/p')
  if [ -z "$bad" ] && [ $status -eq 0 ]; then
    clean=$((clean + 1))
    echo "run $run: clean in $(($(date +%s) - t0)) s"
  else
    echo "run $run: $(echo "$bad" | grep -c . || true) bad in $(($(date +%s) - t0)) s (exit $status; $log)"
    for hang in "$out"/hang-"$run"-*.txt; do [ -e "$hang" ] && echo "    hang evidence: $hang"; done
    while read -r kind name; do
      [ -n "$name" ] || continue
      if [ "$kind" = Timeout ]; then
        timedout[$name]=$((${timedout[$name]:-0} + 1))
      else
        failed[$name]=$((${failed[$name]:-0} + 1))
      fi
    done <<<"$bad"
  fi
done

echo
echo "== soak: $clean of $runs runs clean, $(($(date +%s) - started)) s of wall time (preset $preset, selection ${selection[*]}, under load)"
names=$(printf '%s\n' "${!failed[@]}" "${!timedout[@]}" | sort -u | grep . || true)
if [ -n "$names" ]; then
  printf '%-8s %-8s %s\n' failed timedout test
  while read -r name; do
    printf '%-8s %-8s %s\n' "${failed[$name]:-0}" "${timedout[$name]:-0}" "$name"
  done <<<"$names"
fi
[ "$clean" -eq "$runs" ]
