#!/usr/bin/env bash
# korvex-cli config-block: the Ethernet write block of a project, 16 bytes a line.
set -u
cli=$1
tmp=$2
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ "$2" != "$3" ]]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}

"$cli" new --kind 4 k4.kvx; check "new kind 4" 0 $?
"$cli" config-block k4.kvx > block.txt 2> err.txt; check "config-block exit" 0 $?
check "nothing on stderr" "" "$(cat err.txt)"
check "line count" 158 "$(wc -l < block.txt)"
check "header, manual assign, address" "00 00 00 06 00 00 04 F0 00 00 00 00 C0 A8 00 0A" "$(sed -n 1p block.txt)"
check "mask, gateway, dns" "FF FF FF 00 C0 A8 00 01 00 00 00 00 00 00 00 00" "$(sed -n 2p block.txt)"
# Offset 80: two commands on subnet 1, then their slots (slave 1, code 3 from 0,
# code 16 from 4000, 8 registers each).
check "count and first slot" "00 00 00 02 01 03 00 00 00 08 00 00 00 00 00 00" "$(sed -n 6p block.txt)"
check "second slot" "01 10 00 00 00 08 40 00 00 00 00 00 00 00 00 00" "$(sed -n 7p block.txt)"
# Offset 1312: subnet 2's scan rate and no commands.
check "subnet 2 count" "00 00 00 0A 00 00 00 00" "$(sed -n 83p block.txt | cut -c1-23)"
check "last line has 8 bytes" "00 00 00 00 00 00 00 00" "$(sed -n 158p block.txt)"
check "every line upper-case hex pairs" 0 "$(grep -cvE '^[0-9A-F]{2}( [0-9A-F]{2}){7}( [0-9A-F]{2}){0,8}$' block.txt)"

"$cli" config-block missing.kvx > out.txt 2>/dev/null; check "missing file fails" 1 $?
check "missing file prints nothing" "" "$(cat out.txt)"
"$cli" config-block > /dev/null 2>&1; check "no file is a usage error" 2 $?

exit $((failures > 0))
