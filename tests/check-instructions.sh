#!/usr/bin/env bash
# Fails when a program holds an instruction that the 386 does not run:
# Windows 95 runs on a 386DX, NT 4.0 on a 486, and the machines they came on
# (486, Pentium, Pentium MMX, K6) stop a program at the first instruction of
# a later processor. Under Wine every program runs on the host's processor,
# so only the file itself can show this.
#   check-instructions.sh OBJDUMP EXE...
set -euo pipefail
objdump=$1
shift
# Mnemonics as objdump prints them: the 486's (BSWAP, CMPXCHG, XADD, INVD,
# WBINVD, INVLPG), the Pentium's (CPUID, RDTSC, CMPXCHG8B, RDMSR...), the
# Pentium Pro's (CMOVcc, FCMOVcc, FCOMI, UD2, the long NOPs 0F 1F), and the
# later ones (MMX, SSE, their fences and states, CET's ENDBR...).
newer='^(bswap|cmpxchg|xadd|invd|wbinvd|invlpg|cpuid|rdtsc|rdmsr|wrmsr|rdpmc|rsm|cmov|fcmov|f(u)?comi|ud2|nop[wl]|sys(enter|exit|call|ret)|endbr|emms|fx(save|rstor)|(ld|st)mxcsr|[lms]fence|clflush|prefetch|movbe|popcnt|lzcnt|tzcnt)'
registers='%([xyz]?mm[0-9]+)'
status=0
for exe in "$@"; do
  # The instruction column, without the prefixes objdump prints before it.
  found=$("$objdump" -d --no-show-raw-insn "$exe" | awk -F'\t' 'NF >= 2 && $1 ~ /^ *[0-9a-f]+:$/ { print $2 }' |
    sed -E 's/^((lock|rep[a-z]*|data16|addr16|[c-gs]s) +)*//' |
    awk -v newer="$newer" -v registers="$registers" '$1 ~ newer || $0 ~ registers' | sort | uniq -c || true)
  if [ -n "$found" ]; then
    echo "$(basename "$exe"): instructions newer than the 386:" >&2
    echo "$found" >&2
    status=1
  else
    echo "$(basename "$exe"): 386 instructions only"
  fi
done
exit $status
