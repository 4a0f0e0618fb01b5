#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: set-up, the native build
# of the pure logic with its sanitizer tests, the Windows programs and their
# tests under Wine. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$(date +%s)

scripts/setup.sh
scripts/check-format.sh

echo "== native: pure logic under AddressSanitizer and UBSan"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== windows: the 32-bit programs"
cmake --preset windows >/dev/null
cmake --build --preset windows
if scripts/host-runs-32bit.sh; then
  ctest --preset windows
else
  echo "== this host cannot run 32-bit code (no IA-32 emulation in its kernel): the checks of the"
  echo "== 32-bit files run here, and the Windows tests run on the 64-bit build of the same sources"
  ctest --preset windows -L static
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64
  # The 64-bit twins take nothing from a C run-time library either.
  ctest --preset windows64 -R deliverables_import_only_listed_functions
  ctest --preset windows64 -LE static
fi

scripts/check-no-wine-left.sh
echo "== all tests passed in $(($(date +%s) - started)) s"
