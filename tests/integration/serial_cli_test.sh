#!/usr/bin/env bash
# korvex-cli frames, download and upload against korvex-gatewaysim over the
# pseudo-terminal it creates, paced at 19200 baud: a project downloaded and
# uploaded back comes back equal; faults end with the step's message.
# Usage: serial_cli_test.sh KORVEX_CLI KORVEX_GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
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

# start_sim NAME ARGS...: starts a simulator; its port path ends up in $port.
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

# A kind-3 project with a few non-default values and three commands.
"$cli" new --kind 3 new.kvx
"$cli" dump new.kvx | /usr/bin/python3 -c '
import json, sys
d = json.load(sys.stdin)
d["fieldbus"]["profibusAddress"] = "12"
s = d["subnets"][0]
s["masterBaudRate"] = "4800"
s["pollDelay"] = "250"
s["charIntervalSend"] = "300"
c = s["commands"]
for cmd in c:
    cmd["bitOffset"] = "0"
third = dict(c[0])
third.update(slaveAddress="7", functionCode="1", dataCount="300", mappingAddress="10", bitOffset="3",
             byteCount="38", scanType="Slow Scan", nodeIndex=2)
c.append(third)
s["commandCount"] = len(c)
s["nodes"].append({"address": "7", "name": "Node-7"})
s["nodeCount"] = 2
json.dump(d, sys.stdout)' > p.json
"$cli" build p.json p.kvx; check "build project" 0 $?

frames=$("$cli" frames p.kvx --firmware 5.2)
check "frames exit" 0 $?
check "first frame" "30 03 36 10 00 79" "$(echo "$frames" | head -n 1)"
check "frame count" 8 "$(echo "$frames" | wc -l)"

# Round trip with firmware 6.0 (scrambled, state switches).
start_sim sim60 --device-type 4 --firmware 6.0
out=$(timeout 60 "$cli" download p.kvx --port "$port" --answer yes --answer yes)
check "download exit" 0 $?
check "download output" "Tessaly needs to change from the communication status to the configuration status. Is it necessary to stop communication and download the configuration?
Download PROFIBUS parameter configuration
Download subnet parameter configuration
Download subnet command configuration
Downloading the configuration is successful!
Tessaly in the configuration state, whether to enable the new configuration and start communication?" "$out"

out=$(timeout 60 "$cli" upload --port "$port" --kind 3 -o up.kvx)
check "upload exit" 0 $?
check "upload output" "Upload PROFIBUS parameter configuration
Upload subnet parameter configuration
Upload subnet command configuration
Uploading the configuration is successful!" "$out"
check "uploaded project" "$("$cli" dump p.kvx)" "$("$cli" dump up.kvx 2>&1)"

# Without an answer the state question is declined: nothing is written.
out=$(timeout 60 "$cli" download p.kvx --port "$port")
check "declined exit" 1 $?
check "declined output" "Tessaly needs to change from the communication status to the configuration status. Is it necessary to stop communication and download the configuration?
Download canceled" "$out"

# A gateway that never acknowledges a command: the step's message, no hang.
start_sim silent --device-type 4 --firmware 5.2 --fault 10=silent
out=$(timeout 60 "$cli" download p.kvx --port "$port")
check "silent command exit" 1 $?
check "silent command message" "Subnet 1 Modbus command congfiguration0Download" "$(echo "$out" | tail -n 1)"

# A gateway of another kind.
start_sim devicenet --device-type 1 --firmware 5.2
out=$(timeout 60 "$cli" upload --port "$port" --kind 3 -o none.kvx)
check "mismatch exit" 1 $?
check "mismatch message" "Type of device mismatch!" "$out"
[[ ! -e none.kvx ]]; check "nothing written after a failed upload" 0 $?

# Port and command-line errors.
out=$("$cli" download p.kvx --port "$tmp/no-such-port" 2>&1)
check "missing port exit" 1 $?
check "missing port message" "Port $tmp/no-such-port Open failed!" "$out"
"$cli" upload --port "$port" -o x.kvx 2>/dev/null
check "upload without kind" 2 $?
"$cli" frames p.kvx --firmware six 2>/dev/null
check "bad firmware" 2 $?

exit $((failures > 0))
