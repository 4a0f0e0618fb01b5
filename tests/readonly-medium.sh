#!/usr/bin/env bash
# A folder that acts as a read-only medium (a CD, a read-only share) for the
# Wine tests: the files are put in it, then it is mounted read-only over
# itself, so that no one, root included, can change them.
#   readonly-medium.sh up FOLDER SOURCE=NAME...
#   readonly-medium.sh down FOLDER
# Where a mount cannot be made (it needs root), the folder stays writable and
# the tests that need the medium say so and skip.
set -euo pipefail
action=$1 folder=$2
shift 2
mounted() { grep -qs " $(realpath -m "$folder") " /proc/mounts; }
while mounted; do umount "$folder"; done
rm -rf "$folder"
[ "$action" = down ] && exit 0
mkdir -p "$folder"
for pair in "$@"; do cp "${pair%%=*}" "$folder/${pair#*=}"; done
if mount --bind "$folder" "$folder" 2>/dev/null; then
  mount -o remount,ro,bind "$folder" 2>/dev/null || umount "$folder"
fi
mounted && echo "read-only: $folder" || echo "no read-only medium could be made here (not root?): $folder stays writable"
