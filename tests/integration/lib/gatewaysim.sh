# Shared by the integration scripts that run korvex-gatewaysim; source it after
# setting $sim to the simulator program. Gives:
#   check NAME EXPECTED ACTUAL   compares, prints FAIL and counts a failure
#   check_match NAME REGEX ACTUAL  the same for an extended regular expression
#   start_sim NAME ARGS...       starts a simulator (stopped when the script
#                                exits); its first line (terminal path or
#                                address) ends up in $port; NAME.out, NAME.err
#   loopback_base                prints "127.X.Y", a random loopback /24 prefix
#                                away from other runs
#   finish                       exits 1 when a check failed, else 0
failures=0
check() {
  if [[ "$2" != "$3" ]]; then
    echo "FAIL $1: expected [$2] got [$3]"
    failures=$((failures + 1))
  fi
}
check_match() {
  if [[ ! "$3" =~ $2 ]]; then
    echo "FAIL $1: expected to match [$2] got [$3]"
    failures=$((failures + 1))
  fi
}

gatewaysim_pids=()
stop_simulators() {
  local pid
  for pid in "${gatewaysim_pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  gatewaysim_pids=()
}
trap stop_simulators EXIT

start_sim() {
  local name=$1
  shift
  "$sim" --quit-after-idle 60 "$@" > "$name.out" 2> "$name.err" &
  gatewaysim_pids+=($!)
  port=""
  for _ in $(seq 50); do
    port=$(head -n 1 "$name.out" 2>/dev/null)
    [[ -n "$port" ]] && return 0
    sleep 0.1
  done
  echo "FAIL $name: the simulator printed nothing: $(cat "$name.err")"
  failures=$((failures + 1))
  return 1
}

loopback_base() { echo "127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1))"; }

finish() {
  if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}
