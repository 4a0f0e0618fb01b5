#!/usr/bin/env bash
# Builds the deliverables a second time, in a fresh folder at another path, and
# fails unless every program is byte-identical to the one in the build folder.
set -euo pipefail
source_dir=$1 build_dir=$2 toolchain=$3
shift 3
second=$(mktemp -d /tmp/quop-second-build.XXXXXX)
trap 'rm -rf "$second"' EXIT
cmake -S "$source_dir" -B "$second" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
targets=()
for file in "$@"; do targets+=("$(basename "$file" .exe)"); done
cmake --build "$second" --target "${targets[@]}" -j2 >/dev/null
status=0
for file in "$@"; do
  if cmp -s "$build_dir/$file" "$second/$file"; then
    echo "identical: $file ($(stat -c %s "$build_dir/$file") bytes)"
  else
    echo "differs: $file" >&2
    status=1
  fi
done
exit $status
