#!/usr/bin/env bash
# Start-up time of the desktop application: runs
#   korvex --no-splash --quit-after-show
# under the offscreen platform several times and prints every run and the
# median in milliseconds. Goal: a median under 300 ms on a 2-core machine.
# Usage: bench/bench_startup.sh [path/to/korvex] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/src/app/korvex}
runs=${2:-11}
[[ -x "$exe" ]] || { echo "no executable $exe (build first: make build)" >&2; exit 1; }

# A private settings and data folder, so the runs neither read nor change the
# user's recent files and desktop entries. One warm-up run writes the desktop
# files the later runs then find in place.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" \
       XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$exe" --no-splash --quit-after-show >/dev/null 2>&1

times=()
for ((i = 0; i < runs; i++)); do
  start=$(date +%s%N)
  "$exe" --no-splash --quit-after-show >/dev/null 2>&1
  end=$(date +%s%N)
  times+=($(((end - start) / 1000000)))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$((runs / 2))]}
echo "runs (ms): ${times[*]}"
echo "median start-up: ${median} ms (goal: under 300 ms)"
