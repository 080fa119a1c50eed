#!/usr/bin/env bash
# The whole test suite: the normal build with every test, the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and a bounded run of
# every fuzz target. Each stage is a CTest run; the last line sums them up.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

echo "== build and test (build/)"
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$jobs" | tee -a "$log"

echo "== unit tests under ASan and UBSan (build-asan/)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVEX_SANITIZE=ON \
  -DKORVEX_BUILD_GUI=OFF -DKORVEX_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -L unit --output-on-failure -j "$jobs" | tee -a "$log"

echo "== fuzz targets, ${KORVEX_FUZZ_SECONDS:=60} s each (build-fuzz/)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVEX_FUZZ=ON -DKORVEX_BUILD_GUI=OFF -DKORVEX_FUZZ_SECONDS="$KORVEX_FUZZ_SECONDS" >/dev/null
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz --output-on-failure | tee -a "$log"

# ctest prints "N% tests passed, F tests failed out of T" per stage.
total=0
failed=0
while read -r f t; do
  failed=$((failed + f))
  total=$((total + t))
done < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log")
echo
echo "Total: $((total - failed)) passed, $failed failed"
