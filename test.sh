#!/usr/bin/env bash
# Installs what is missing (compiler, make, Qt and the rest, through apt-get),
# builds Korvex and runs the whole test suite. Needs nothing but a Debian shell.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
exec scripts/test.sh "$@"
