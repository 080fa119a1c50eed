#!/usr/bin/env bash
# korvex-cli verify --ethernet against korvex-gatewaysim --net on a loopback
# address: download, verify says "same", a field an Ethernet gateway keeps
# changed in the file is listed, one it does not keep is not, and an upload
# that fails prints its message and no comparison.
# Usage: ethernet_verify_test.sh KORVEX_CLI GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
# Nothing may leave the machine: the download's search goes to loopback only.
case "${KORVEX_SEARCH_BROADCAST:-}" in
  127.*) ;;
  *) echo "refusing to run: set KORVEX_SEARCH_BROADCAST=127.255.255.255"; exit 1 ;;
esac
rm -rf "$tmp" && mkdir -p "$tmp" && cd "$tmp" || exit 1
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [[ "$2" != "$3" ]]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}
tab=$'\t'
change() {  # change IN OUT PYTHON-STATEMENT (on p)
  "$cli" dump "$1" | /usr/bin/python3 -c "
import json, sys
p = json.load(sys.stdin)
$3
json.dump(p, sys.stdout)" > "$2.json" && "$cli" build "$2.json" "$2"
}

base="127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1))"
a="$base.21"
"$sim" --net "$a" --quit-after-idle 30 > sim.out 2> sim.err &
pid=$!
trap 'kill $pid 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do
  [[ -s sim.out ]] && break
  sleep 0.1
done
check "simulator ready" "$a" "$(head -1 sim.out)"

"$cli" new --kind 4 p.kvx
"$cli" download p.kvx --ethernet "$a" > download.txt 2>&1; check "download" 0 $?

before=$(md5sum < p.kvx)
out=$("$cli" verify p.kvx --ethernet "$a" 2>steps.txt); rc=$?
check "verify same" "same" "$out"
check "verify same exit" 0 $rc
check "upload step on stderr" "Uploading the configuration is successful!" "$(cat steps.txt)"
check "the file is not written" "$before" "$(md5sum < p.kvx)"

change p.kvx count.kvx 'p["subnets"][0]["commands"][0]["dataCount"] = "20"'
check "verify lists a kept field" "differ
 SubnetⅠ/Node-1/Read Holding Registers${tab}Number of Data${tab}20${tab}8
 SubnetⅠ/Node-1/Read Holding Registers${tab}Number of Bytes${tab}40${tab}16" \
  "$("$cli" verify count.kvx --ethernet "$a" 2>/dev/null)"

change p.kvx timeout.kvx 'p["subnets"][1]["responseTimeout"] = "900"'
check "verify lists a kept setting of subnet 2" "differ
SubnetⅡ${tab}Response Timeout(5-60000ms)${tab}900${tab}300" \
  "$("$cli" verify timeout.kvx --ethernet "$a" 2>/dev/null)"

change p.kvx renamed.kvx 'p["subnets"][0]["nodes"][0]["name"] = "Pump"'
check "node name is not kept" "same" "$("$cli" verify renamed.kvx --ethernet "$a" 2>/dev/null)"

# Nobody at this address: the upload's message, no comparison, exit 1.
out=$("$cli" verify p.kvx --ethernet "$base.22" 2>err.txt); rc=$?
check "failed upload exit" 1 $rc
check "failed upload prints no comparison" "" "$out"
check "failed upload message" "Connect failed,please check IP address and the port !" "$(cat err.txt)"

# Ethernet needs a project of the EtherNet/IP kind.
"$cli" new --kind 3 serial.kvx
"$cli" verify serial.kvx --ethernet "$a" >/dev/null 2>&1; check "kind 3 over ethernet" 2 $?

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
