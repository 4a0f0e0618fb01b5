#!/usr/bin/env bash
# Figures of the pack: file sizes of the deliverables, and run times under
# Wine as ratios against a do-nothing program started the same way, and
# against the floor programs (the least that does the launcher's job and the
# installer's start, built beside the pack with the same compilers and flags).
set -euo pipefail
QUOP_RUN_TARGETS="pack verbalia donothing urlrec quop32_us floor_launcher floor_dialog floor_road start_bench dde_bench
  road_bench"
. "$(dirname "$0")/bench-env.sh"
runs=${RUNS:-9}
# The sizes are those of the 32-bit deliverables, also where their 64-bit twins run.
if [ "$QUOP_RUN_BUILD" != "$(pwd)/build/windows" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target pack >/dev/null
fi

# Median wall time in milliseconds of `runs` runs of a command.
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    times+=($(((t1 - t0) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

export URLREC_LOG=$QUOP_RUN_BUILD/wine-bench/bench-urls.log
baseline=$(median_ms "$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/donothing.exe")
launcher=$(median_ms "$QUOP_RUN" "$QUOP_RUN_BUILD/weblauncher/verbalia.exe")
floor_launcher=$(median_ms "$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/floor_launcher.exe")

printf '%-46s %10s\n' "figure" "value"
size() { stat -c %s "$1"; }
printf '%-46s %10s\n' "verbalia.exe size (32-bit deliverable), bytes" "$(size build/windows/weblauncher/verbalia.exe)"
printf '%-46s %10s\n' "trinstall.exe size (32-bit deliverable), bytes" "$(size build/windows/installer/trinstall.exe)"
printf '%-46s %10s\n' "urlhop32.exe size (32-bit deliverable), bytes" "$(size build/windows/linkhelper/urlhop32.exe)"
printf '%-46s %10s\n' "quop-ca.zip, the zipped pack, bytes" "$(size build/windows/pack/quop-ca.zip)"
printf '%-46s %10s\n' "do-nothing program start, ms (median)" "$baseline"
printf '%-46s %10s\n' "launcher run, ms (median)" "$launcher"
printf '%-46s %10s\n' "launcher / do-nothing" "$(awk -v a="$launcher" -v b="$baseline" 'BEGIN{printf "%.2f", a/b}')"
printf '%-46s %10s\n' "floor launcher run, ms (median)" "$floor_launcher"
printf '%-46s %10s\n' "launcher / floor launcher" "$(awk -v a="$launcher" -v b="$floor_launcher" 'BEGIN{printf "%.2f", a/b}')"

# The installer's start until its main dialog is visible.
installer=$("$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/start_bench.exe" \
  "Z:$(echo "$QUOP_RUN_BUILD" | tr / '\\')\\installer\\trinstall.exe" "Actualitzador del Quop 5.61" "$runs" 2>/dev/null |
  tr -d '\r')
printf '%-46s %10s\n' "installer start until its dialog shows, ms" "$(echo "$installer" | sed -n 's/^window //p')"
printf '%-46s %10s\n' "  / do-nothing start ($(echo "$installer" | sed -n 's/^baseline //p') ms)" \
  "$(echo "$installer" | awk '/^window/{w=$2} /^baseline/{b=$2} END{printf "%.2f", w/b}')"
floor=$("$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/start_bench.exe" \
  "Z:$(echo "$QUOP_RUN_BUILD" | tr / '\\')\\tests\\support\\floor_dialog.exe" "Floor dialog" "$runs" 2>/dev/null |
  tr -d '\r')
installer_ms=$(echo "$installer" | sed -n 's/^window //p')
floor_ms=$(echo "$floor" | sed -n 's/^window //p')
printf '%-46s %10s\n' "floor dialog start until it shows, ms" "$floor_ms"
printf '%-46s %10s\n' "installer start / floor dialog start" "$(awk -v a="$installer_ms" -v b="$floor_ms" 'BEGIN{printf "%.2f", a/b}')"

# The link helper's DDE exchange with the stand-in client (medians of many).
dde=$("$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/dde_bench.exe" \
  "$QUOP_RUN_BUILD/tests/support/standin/quop32_us.exe" 200 2>/dev/null | tr -d '\r')
printf '%-46s %10s\n' "DDE request round trip, ms (median)" "$(echo "$dde" | sed -n 's/^request //p')"
printf '%-46s %10s\n' "DDE 3 requests + poke, ms (median)" "$(echo "$dde" | sed -n 's/^sequence //p')"

# The link helper's roads, each against a do-nothing start in the same run.
roads=$("$QUOP_RUN" "$QUOP_RUN_BUILD/tests/support/road_bench.exe" "Z:$(echo "$QUOP_RUN_BUILD" | tr / '\\')" \
  "$runs" 2>/dev/null | tr -d '\r')
road_base=$(echo "$roads" | sed -n 's/^baseline //p')
for road in join address start; do
  ms=$(echo "$roads" | sed -n "s/^$road //p")
  label="helper $road road, ms (median)"
  [ "$road" = join ] && label="helper join road until the poke, ms (median)"
  [ "$road" = address ] && label="helper irc:// road, confirmed, until poke, ms"
  [ "$road" = start ] && label="helper start road until client args, ms"
  printf '%-46s %10s\n' "$label" "$ms"
  printf '%-46s %10s\n' "  / do-nothing start ($road_base ms)" "$(awk -v a="$ms" -v b="$road_base" 'BEGIN{printf "%.2f", a/b}')"
done
road_floor=$(echo "$roads" | sed -n 's/^floor //p')
road_join=$(echo "$roads" | sed -n 's/^join //p')
printf '%-46s %10s\n' "floor road (its DDE transactions alone), ms" "$road_floor"
road_address=$(echo "$roads" | sed -n 's/^address //p')
printf '%-46s %10s\n' "helper join road / floor road" "$(awk -v a="$road_join" -v b="$road_floor" 'BEGIN{printf "%.2f", a/b}')"
printf '%-46s %10s\n' "helper irc:// road / floor road" "$(awk -v a="$road_address" -v b="$road_floor" 'BEGIN{printf "%.2f", a/b}')"
