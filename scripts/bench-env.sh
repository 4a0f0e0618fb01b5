# Picks the build whose Windows programs this host can run, builds it and
# brings its Wine bench up. Sourced by the main job and the benchmarks; sets
# QUOP_RUN_BUILD (the build folder) and QUOP_RUN (its Wine runner).
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
if scripts/host-runs-32bit.sh; then
  QUOP_RUN_BUILD=$(pwd)/build/windows
else
  echo "(this host cannot run 32-bit code: running the 64-bit build of the same sources)"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 >/dev/null
  QUOP_RUN_BUILD=$(pwd)/build/windows64
fi
QUOP_RUN=$QUOP_RUN_BUILD/wine-run.sh
scripts/wine-bench.sh "$QUOP_RUN_BUILD" up >/dev/null
trap 'scripts/wine-bench.sh "$QUOP_RUN_BUILD" down' EXIT
