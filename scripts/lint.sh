#!/usr/bin/env bash
# Static checks: clang-tidy (configuration in .clang-tidy) over the programs'
# and the tests' sources, compiled for 32-bit Windows against the mingw-w64
# headers, and clang-format's verdict on every source file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
cmake --preset windows >/dev/null  # generates the tests' path header
gcc_include=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-posix/include/c++ | head -n 1)
flags=(--target=i686-w64-mingw32 -std=c++17
  -isystem "$gcc_include" -isystem "$gcc_include/i686-w64-mingw32" -isystem /usr/i686-w64-mingw32/include
  -isystem /usr/src/googletest/googletest/include
  -iquote common -iquote installer -iquote linkhelper -iquote tests/support -iquote build/windows/tests/support)
mapfile -t sources < <(git ls-files 'common/*.cpp' 'installer/*.cpp' 'linkhelper/*.cpp' 'weblauncher/*.cpp' 'tests/*.cpp' |
  grep -v '^tests/fuzz/')
status=0
if ! printf '%s\0' "${sources[@]}" |
  xargs -0 -P "$(nproc)" -I{} sh -c 'out=$(clang-tidy --quiet "$0" -- "$@" 2>&1) || { echo "$out" >&2; exit 1; }' {} \
    "${flags[@]}"; then
  status=1
fi
scripts/check-format.sh || status=1
[ $status -eq 0 ] && echo "lint: clang-tidy and clang-format clean over ${#sources[@]} sources"
exit $status
