#!/usr/bin/env bash
# korvex-cli monitor --port against korvex-gatewaysim --monitor over a
# pseudo-terminal at 115200 baud: the rows of the first reports (the
# simulator's cycle: exception at 3, time-out at 6, hidden FF at 9), a --write
# whose bytes show up in a later row, and the --save record format.
# Usage: monitor_serial_test.sh KORVEX_CLI KORVEX_GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
source "$(dirname "$0")/lib/gatewaysim.sh"
tab=$'\t'

# A new kind-3 project: slave 1 reads 8 registers from 0, then writes 8 from 4000.
start_sim mon --monitor --baud 115200 --report-rate fast || finish
timeout 30 "$cli" monitor --port "$port" --count 10 --save record.txt > rows.txt 2> err.txt
check "monitor exit" 0 $?
check "nothing on stderr" "" "$(cat err.txt)"
check "rows of ten reports (the ninth is hidden)" "Respond correctly${tab}1${tab}0${tab}01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 
Respond correctly${tab}1${tab}0${tab}00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 
Respond abnormally ${tab}1${tab}0${tab}01 (Incorrect function code)
Respond correctly${tab}1${tab}0${tab}00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 
Respond correctly${tab}1${tab}0${tab}05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 
Response timeout${tab}1${tab}0${tab}The node has no response
Respond correctly${tab}1${tab}0${tab}07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 
Respond correctly${tab}1${tab}0${tab}00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 
Respond correctly${tab}1${tab}0${tab}00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 " "$(cat rows.txt)"
check "record of the first report" "Status${tab}${tab}Respond correctly
Slave Address${tab}1
Starting Address${tab}0
Data/Exception Code${tab}01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 " "$(head -n 4 record.txt)"
check "an empty line after each record" "" "$(sed -n 5p record.txt)"
check "record of the time-out" "Status${tab}${tab}Response timeout
Slave Address${tab}1
Starting Address${tab}0
Data/Exception Code${tab}" "$(sed -n 26,29p record.txt)"
check "record lines: 9 shown reports of 5 lines" 45 "$(wc -l < record.txt)"
check "record has no carriage returns" 0 "$(grep -c $'\r' record.txt)"

# A second session on the same simulator starts at report 1 again; the write
# answers report 1 and the write command's report 2 carries it.
timeout 30 "$cli" monitor --port "$port" --count 2 --write 4002=aabb > write.txt 2> err.txt
check "write exit" 0 $?
check "write row" "Respond correctly${tab}1${tab}0${tab}00 00 aa bb 00 00 00 00 00 00 00 00 00 00 00 00 " \
  "$(sed -n 2p write.txt)"
# The output memory keeps it for later sessions.
timeout 30 "$cli" monitor --port "$port" --count 2 > later.txt 2>/dev/null
check "write kept" "$(sed -n 2p write.txt)" "$(sed -n 2p later.txt)"

finish
