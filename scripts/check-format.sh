#!/usr/bin/env bash
# Fails when any C++ source of the project differs from what clang-format
# (.clang-format) makes of it; prints the files. A few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}" 2>/dev/null; then
  echo "clang-format: these files need formatting (clang-format -i FILE):" >&2
  for file in "${sources[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || echo "  $file" >&2
  done
  exit 1
fi
echo "clang-format: ${#sources[@]} sources as they should be"
