#!/usr/bin/env bash
# Succeeds when this host can run the 32-bit Wine loader natively. Some kernels
# are built or booted without IA-32 emulation: there 32-bit programs cannot
# run at all, and the Windows tests use the 64-bit build of the same sources.
case "${QUOP_TEST_ARCH:-}" in
  win32) exit 0 ;;
  win64) exit 1 ;;
esac
[ -x /usr/lib/wine/wine ] || exit 1
# An emulator registered for i386 binaries is not native execution.
for handler in /proc/sys/fs/binfmt_misc/*; do
  grep -qs '^magic 7f454c4601010100000000000000000002000300' "$handler" && grep -qs '^enabled' "$handler" && exit 1
done
timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1
