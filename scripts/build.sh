#!/usr/bin/env bash
# Configures and builds Korvex into build/ (or $KORVEX_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${KORVEX_BUILD_DIR:-build}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEX_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
