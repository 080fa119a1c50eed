#!/usr/bin/env bash
# korvex-cli debug against korvex-gatewaysim at 19200 baud over a
# pseudo-terminal, firmware 6.1 (the scrambled switch into debug state, and the
# question on leaving, answered by --leave): rows of each layout, a --write
# whose bytes show up in a later row, and the --save file.
# Usage: monitor_debug_test.sh KORVEX_CLI KORVEX_GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
source "$(dirname "$0")/lib/gatewaysim.sh"
tab=$'\t'
cr=$'\r'

start_sim master --baud 19200 --firmware 6.1 --report-rate fast --verbose || finish
timeout 30 "$cli" debug --port "$port" --count 4 --write "4000=0a 1b" --leave --save saved.txt > rows.txt 2> err.txt
check "debug exit" 0 $?
check "master rows" "1${tab}Respond correctly${tab}1${tab}3${tab}0${tab} 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10
2${tab}Respond correctly${tab}1${tab}16${tab}0${tab} 0A 1B 00 00 00 00 00 00 00 00 00 00 00 00 00 00
3${tab}Respond abnormally ${tab}1${tab}3${tab}0${tab} 01
4${tab}Respond correctly${tab}1${tab}16${tab}0${tab} 0A 1B 00 00 00 00 00 00 00 00 00 00 00 00 00 00" "$(cat rows.txt)"
check "leave question" "Tessaly in debug state, whether changes to the configuration state?" "$(cat err.txt)"
check "saved header" "Index     Status       Slave Address        Function Code   Starting Address       Data/Exception Code$cr" \
  "$(head -n 1 saved.txt)"
check "saved newest first" "4${tab}Respond correctly${tab}1${tab}${tab}16${tab}0${tab}${tab} 0A 1B 00 00 00 00 00 00 00 00 00 00 00 00 00 00$cr" \
  "$(sed -n 2p saved.txt)"
check "saved rows" 5 "$(wc -l < saved.txt)"
# What the simulator saw: the scrambled switch, the stop request and the leave frame.
# (--verbose logs each read of the terminal, so frames are joined first.)
received=$(grep '^> ' master.err | cut -c3- | tr '\n' ' ')
check_match "switched into debug state" "^01 00 01 0F 01 A7 B7 D0 00 D0 D2 01 EA BD " "$received"
check_match "stopped, then left debug state" "D4 01 00 D5 D2 01 F0 C3 0F 01 01 11 $" "$received"

start_sim slave --baud 19200 --firmware 6.1 --report-rate fast --debug-layout slave || finish
timeout 30 "$cli" debug --port "$port" --count 3 > slave.txt 2> err.txt
check "slave exit" 0 $?
check "slave rows" "1${tab}Modbus->PROFIBUS${tab}01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 
2${tab}PROFIBUS->Modbus${tab}00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 
3${tab}Modbus->PROFIBUS${tab}01 03 " "$(cat slave.txt)"

start_sim user --baud 19200 --firmware 5.2 --report-rate fast --debug-layout user || finish
timeout 30 "$cli" debug --port "$port" --count 2 > user.txt 2> err.txt
check "user config exit" 0 $?
check "user config rows" "1${tab}Serial port->PROFIBUS${tab}01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 
2${tab}PROFIBUS->Serial port${tab}00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 " "$(cat user.txt)"
check "firmware 5.2 asks nothing" "" "$(cat err.txt)"

finish
