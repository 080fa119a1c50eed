#!/usr/bin/env bash
# korvex-cli verify and diff against korvex-gatewaysim on a pseudo-terminal:
# download, verify says "same", a kept field changed in the file is listed, a
# field the gateway does not keep is not, and a failed upload compares nothing.
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
tab=$'\t'
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done' EXIT

# Starts the simulator with the given options; sets $pty to its terminal path.
start_sim() {
  local out=sim$((${#pids[@]} + 1)).out
  "$sim" --quit-after-idle 60 "$@" >"$out" 2>/dev/null &
  pids+=($!)
  pty=
  for _ in $(seq 50); do
    pty=$(head -n 1 "$out" 2>/dev/null)
    [[ -n "$pty" ]] && return 0
    sleep 0.1
  done
  echo "FAIL: the simulator printed no terminal path"
  exit 1
}
change() {  # change IN OUT PYTHON-STATEMENT (on p)
  "$cli" dump "$1" | /usr/bin/python3 -c "
import json, sys
p = json.load(sys.stdin)
$3
json.dump(p, sys.stdout)" > "$2.json" && "$cli" build "$2.json" "$2"
}

"$cli" new p.kvx
start_sim --device-type 4 --firmware 6.0
"$cli" download p.kvx --port "$pty" --yes >download.txt 2>&1
check "download" 0 $?

out=$("$cli" verify p.kvx --port "$pty" 2>steps.txt); rc=$?
check "verify same" "same" "$out"
check "verify same exit" 0 $rc
check "upload steps on stderr" 1 "$([[ -s steps.txt ]] && echo 1 || echo 0)"

change p.kvx count.kvx 'p["subnets"][0]["commands"][0]["dataCount"] = "20"'
check "verify lists a kept field" "differ
Subnet/Node-1/Read Holding Registers${tab}Number of Data${tab}20${tab}8
Subnet/Node-1/Read Holding Registers${tab}Number of Bytes${tab}40${tab}16" \
  "$("$cli" verify count.kvx --port "$pty" 2>/dev/null)"

change p.kvx renamed.kvx 'p["subnets"][0]["nodes"][0]["name"] = "Pump"'
check "node name is not kept" "same" "$("$cli" verify renamed.kvx --port "$pty" 2>/dev/null)"

# diff against what an upload wrote into a file.
"$cli" upload --port "$pty" --into p.kvx -o up.kvx >/dev/null 2>&1
check "upload" 0 $?
check "diff gateway scope" "same" "$("$cli" diff --gateway p.kvx up.kvx)"
check "diff gateway scope lists" "differ
Subnet/Node-1/Read Holding Registers${tab}Number of Data${tab}20${tab}8
Subnet/Node-1/Read Holding Registers${tab}Number of Bytes${tab}40${tab}16" \
  "$("$cli" diff --gateway count.kvx up.kvx)"

# A gateway of another device type: the upload's message, no comparison, exit 1.
start_sim --device-type 2 --firmware 6.0
out=$("$cli" verify p.kvx --port "$pty" 2>err.txt); rc=$?
check "failed upload exit" 1 $rc
check "failed upload prints no comparison" "" "$out"
check "failed upload message" 1 "$([[ -s err.txt ]] && echo 1 || echo 0)"

"$cli" verify p.kvx --port "$tmp/no-such-port" >/dev/null 2>&1; check "no port" 1 $?
"$cli" verify p.kvx >/dev/null 2>&1; check "no target" 2 $?
"$cli" verify p.kvx --port a --ethernet 127.0.0.1 >/dev/null 2>&1; check "two targets" 2 $?

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
