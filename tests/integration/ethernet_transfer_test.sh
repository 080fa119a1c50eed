#!/usr/bin/env bash
# korvex-cli search, download --ethernet (with restart) and upload --ethernet
# against two korvex-gatewaysim --net instances on loopback addresses.
# Usage: ethernet_transfer_test.sh KORVEX_CLI GATEWAYSIM SCRATCH_DIR
set -u
cli=$1
sim=$2
tmp=$3
# Nothing may leave the machine: broadcasts go to the loopback range only.
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

# Two gateways on addresses of their own (127.x.y.z, away from other runs).
base="127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1))"
a="$base.11"
b="$base.12"
"$sim" --net "$a" --firmware 1.10 --verbose --quit-after-idle 30 > sim_a.out 2> sim_a.err &
pid_a=$!
"$sim" --net "$b" --mac a0-b1-c2-d3-e4-f5 --remote-config prohibit --quit-after-idle 30 > sim_b.out 2> sim_b.err &
pid_b=$!
trap 'kill $pid_a $pid_b 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 50); do
  [[ -s sim_a.out && -s sim_b.out ]] && break
  sleep 0.1
done
check "simulator a ready" "$a" "$(head -1 sim_a.out)"
check "simulator b ready" "$b" "$(head -1 sim_b.out)"

# Broadcast search: both answer (other gateways on the machine may answer too).
"$cli" search > search.txt; check "search exit" 0 $?
check "gateway a listed" "1" "$(grep -cP "^ ?\d+\tFennick\t$a\t00-1a-2b-3c-4d-5e\t1\.10\tAllows remote configuration$" search.txt)"
check "gateway b listed" "1" "$(grep -cP "^ ?\d+\tFennick\t$b\ta0-b1-c2-d3-e4-f5\t6\.0\tProhibit configurating remotely$" search.txt)"

# Fixed-address search: only the gateway asked.
check "fixed search" "1	Fennick	$b	a0-b1-c2-d3-e4-f5	6.0	Prohibit configurating remotely" "$("$cli" search --address "$b")"

# Download with restart, then upload the block back.
"$cli" new --kind 4 k4.kvx
"$cli" download k4.kvx --ethernet "$a" --restart > download.txt; check "download exit" 0 $?
check "download output" "Downloading the configuration is successful!
The configuration being downloaded will be effective after restarting gateway!
Reatart gateway remotely or not" "$(cat download.txt)"
check "written" 1 "$(grep -c 'configuration written' sim_a.err)"
check "restarted" 1 "$(grep -c 'restart requested' sim_a.err)"

"$cli" upload --ethernet "$a" -o up.kvx > upload.txt; check "upload exit" 0 $?
check "upload output" "Uploading the configuration is successful!" "$(cat upload.txt)"
"$cli" config-block k4.kvx > sent.txt
"$cli" config-block up.kvx > back.txt
# The uploaded project writes the same block (the first 48 commands of each subnet).
cmp -s sent.txt back.txt; check "round trip block" 0 $?

# Without --restart the question is answered Cancel: nothing more is sent.
"$cli" download k4.kvx --ethernet "$a" > again.txt; check "second download" 0 $?
check "written twice" 2 "$(grep -c 'configuration written' sim_a.err)"
check "still one restart" 1 "$(grep -c 'restart requested' sim_a.err)"

# Gateway b prohibits remote configuration.
check "forbidden" "Configurating remotely be forbidden, please check local DIP switch" \
  "$("$cli" download k4.kvx --ethernet "$b")"
# Nobody at this address: the search finds nothing, nothing is written.
"$cli" download k4.kvx --ethernet "$base.13" > none.txt 2> none.err; check "no gateway" 1 $?

exit $((failures > 0))
