#!/usr/bin/env bash
# Fails when a deliverable outgrows its size limit or carries any part of the
# C++ library's run-time support.
#   check-lean.sh EXE:LIMIT[:noinit[:FLOOR]] ...
# With "noinit" the program has an entry of its own instead of the C
# run-time's start-up, so nothing may wait for it to run a constructor.
# With a FLOOR (the least program that does the same job, built the same
# way) the program may be no larger than that either.
set -euo pipefail
status=0
for entry in "$@"; do
  IFS=: read -r exe limit noinit floor <<<"$entry"
  map=${exe%.exe}.map
  size=$(stat -c %s "$exe")
  echo "$(basename "$exe"): $size bytes (at most $limit)"
  if [ "$size" -gt "$limit" ]; then
    echo "  larger than $limit bytes" >&2
    status=1
  fi
  if [ -n "$floor" ] && [ "$size" -gt "$(stat -c %s "$floor")" ]; then
    echo "  larger than its floor $(basename "$floor") ($(stat -c %s "$floor") bytes)" >&2
    status=1
  fi
  # The library members that the link took in, from its map.
  members=$(awk '/^Archive member included/{f=1; next} /^(Discarded input sections|Memory Configuration)/{f=0} f' "$map" |
    grep -oE '/lib(stdc\+\+|supc\+\+|gcc_eh|gcc_s|pthread|winpthread)[^/]*\.a\([^)]*\)' | sort -u || true)
  if [ -n "$members" ]; then
    echo "  links C++ run-time support: $(echo $members)" >&2
    status=1
  fi
  for text in __gxx_personality St9exception "terminate called"; do
    if grep -q -a -F "$text" "$exe"; then
      echo "  holds \"$text\"" >&2
      status=1
    fi
  done
  if [ "$noinit" = noinit ] && grep -qE '^ \.ctors(\.[0-9]+)? +0x[0-9a-f]+ +0x[0-9a-f]+ ' "$map"; then
    echo "  has a constructor that no start-up runs:" >&2
    grep -E '^ \.ctors(\.[0-9]+)? +0x[0-9a-f]+ +0x[0-9a-f]+ ' "$map" >&2
    status=1
  fi
done
exit $status
