#!/usr/bin/env bash
# Builds the request fuzz target with clang's libFuzzer and the sanitizers
# and runs it for a bounded time. Fails on any crash or sanitizer report.
#   run-fuzz.sh OUTPUT_FOLDER SECONDS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$1 seconds=$2
mkdir -p "$out/corpus"
cp -n "$here"/corpus/* "$out/corpus/" 2>/dev/null || true
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/linkhelper" "$here/request_fuzz.cpp" "$root/linkhelper/request.cpp" \
  "$root/linkhelper/link_texts.cpp" "$root/linkhelper/text_core.cpp" "$root/linkhelper/text_read.cpp" \
  "$root/linkhelper/chat_address.cpp" \
  -o "$out/request_fuzz"
cd "$out"
./request_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 corpus 2>&1 | tail -n 12
