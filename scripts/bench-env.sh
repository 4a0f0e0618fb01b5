# Picks the build whose Windows programs this host can run, builds what the
# caller runs (QUOP_RUN_TARGETS, the build's targets; all of them when it is
# not set) and brings its Wine bench up. Sourced by the main job and the
# benchmarks; sets QUOP_RUN_BUILD (the build folder) and QUOP_RUN (its Wine
# runner).
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh >/dev/null
if scripts/host-runs-32bit.sh; then
  run_preset=windows
else
  echo "(this host cannot run 32-bit code: running the 64-bit build of the same sources)"
  run_preset=windows64
fi
cmake --preset $run_preset >/dev/null
# shellcheck disable=SC2086 # a list of targets
cmake --build --preset $run_preset ${QUOP_RUN_TARGETS:+--target $QUOP_RUN_TARGETS} >/dev/null
QUOP_RUN_BUILD=$(pwd)/build/$run_preset
QUOP_RUN=$QUOP_RUN_BUILD/wine-run.sh
scripts/wine-bench.sh "$QUOP_RUN_BUILD" up >/dev/null
trap 'scripts/wine-bench.sh "$QUOP_RUN_BUILD" down' EXIT
