#!/usr/bin/env bash
# korvex-cli monitor --ethernet against korvex-gatewaysim --net on a loopback
# address: rows with the port column, a --write whose bytes show up in a later
# row, the --save record format, and the stop frame ending the stream.
# Usage: monitor_ethernet_test.sh KORVEX_CLI KORVEX_GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
source "$(dirname "$0")/lib/gatewaysim.sh"
tab=$'\t'

address="$(loopback_base).31"
start_sim net --net "$address" --report-rate fast --verbose || finish
check "simulator address" "$address" "$port"
timeout 30 "$cli" monitor --ethernet "$address" --count 6 --write 4000=aabb --save record.txt > rows.txt 2> err.txt
check "monitor exit" 0 $?
check "nothing on stderr" "" "$(cat err.txt)"
check "rows" "1${tab}Respond correctly${tab}1${tab}0${tab}01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 
1${tab}Respond correctly${tab}1${tab}0${tab}aa bb 00 00 00 00 00 00 00 00 00 00 00 00 00 00 
1${tab}Respond abnormally ${tab}1${tab}0${tab}1
1${tab}Respond correctly${tab}1${tab}0${tab}aa bb 00 00 00 00 00 00 00 00 00 00 00 00 00 00 
1${tab}Respond correctly${tab}1${tab}0${tab}05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 
1${tab}Response timeout${tab}${tab}${tab}" "$(cat rows.txt)"
check "record of the first report" "Serial port index${tab}1
Status${tab}${tab}Respond correctly
Slave Address${tab}1
Starting Address${tab}0
Data/Exception Code${tab}01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 " "$(head -n 5 record.txt)"
# A time-out keeps every line, its values left out.
check "record of the time-out" "Serial port index${tab}
Status${tab}${tab}Response timeout
Slave Address${tab}
Starting Address${tab}
Data/Exception Code${tab}" "$(sed -n 31,35p record.txt)"
check "stream started and stopped" "monitor started
monitor stopped" "$(grep '^monitor' net.err)"

finish
