#!/usr/bin/env bash
# Round trips through korvex-gatewaysim for every kind a serial gateway has:
# korvex-cli download a project, korvex-cli upload it back, and the two dumps
# agree except for what a gateway does not keep (serial_round_trip.py). Also
# a simulator started from a project file, and a late and a refusing gateway.
# Usage: serial_round_trip_test.sh KORVEX_CLI KORVEX_GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
helper="$(cd "$(dirname "$0")" && pwd)/serial_round_trip.py"
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ "$2" != "$3" ]]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}

sims=()
cleanup() { for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done; }
trap cleanup EXIT

# start_sim NAME ARGS...: starts a simulator paced at 19200 baud; its port ends up in $port.
start_sim() {
  local name=$1
  shift
  "$sim" --baud 19200 --quit-after-idle 60 "$@" > "$name.out" 2> "$name.err" &
  sims+=($!)
  port=""
  for _ in $(seq 50); do
    port=$(head -n 1 "$name.out" 2>/dev/null)
    [[ -n "$port" ]] && return 0
    sleep 0.1
  done
  echo "FAIL $name: the simulator printed no port"
  failures=$((failures + 1))
}

# make_project KIND: p<KIND>.kvx with non-default values in what a download writes.
make_project() {
  "$cli" new --kind "$1" "new$1.kvx" &&
    "$cli" dump "new$1.kvx" | /usr/bin/python3 "$helper" make "$1" > "p$1.json" &&
    "$cli" build "p$1.json" "p$1.kvx"
  check "project kind $1" 0 $?
}

# same_project NAME ORIGINAL.kvx UPLOADED.kvx FIRMWARE
same_project() {
  "$cli" dump "$2" > "$1.original.json"
  "$cli" dump "$3" > "$1.uploaded.json"
  local diffs
  diffs=$(/usr/bin/python3 "$helper" compare "$1.original.json" "$1.uploaded.json" "$4")
  check "$1 uploaded equal" "" "$diffs"
}

# Every kind with a serial gateway (4 talks over the network), old and new firmware.
for case in 0:5.2 1:6.0 2:6.0 3:5.9 5:6.0 6:6.0; do
  kind=${case%%:*}
  firmware=${case#*:}
  make_project "$kind"
  start_sim "sim$kind" --device-type $((kind + 1)) --firmware "$firmware"
  timeout 60 "$cli" download "p$kind.kvx" --port "$port" --yes > "download$kind.txt"
  check "download kind $kind exit" 0 $?
  grep -q -x "Downloading the configuration is successful!" "download$kind.txt"
  check "download kind $kind successful" 0 $?
  timeout 60 "$cli" upload --port "$port" --kind "$kind" -o "up$kind.kvx" > "upload$kind.txt"
  check "upload kind $kind exit" 0 $?
  same_project "kind$kind" "p$kind.kvx" "up$kind.kvx" "$firmware"
done

# A gateway started from a project file holds what a download would have written.
start_sim configured --device-type 4 --firmware 6.0 --config p3.kvx
timeout 60 "$cli" upload --port "$port" --kind 3 -o configured.kvx > configured.txt
check "upload from --config exit" 0 $?
same_project "configured" p3.kvx configured.kvx 6.0

# Late acknowledgements are still within the download's bounds.
start_sim late --device-type 3 --firmware 6.0 --fault 10=late:400 --fault 03=late:250
timeout 60 "$cli" download p2.kvx --port "$port" --yes > late.txt
check "late download exit" 0 $?
timeout 60 "$cli" upload --port "$port" --kind 2 -o late.kvx > late-upload.txt
check "late upload exit" 0 $?
same_project "late" p2.kvx late.kvx 6.0

# A gateway refusing the command-count read: the step's message, nothing written.
start_sim refusing --device-type 2 --firmware 5.2 --fault 15=error
timeout 60 "$cli" upload --port "$port" --kind 1 -o refused.kvx > refused.txt
check "refused upload exit" 1 $?
check "refused upload message" "Read Modbus command unsuccessfully" "$(tail -n 1 refused.txt)"
[[ ! -e refused.kvx ]]; check "nothing written after a refused read" 0 $?

exit $((failures > 0))
