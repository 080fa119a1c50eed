#!/usr/bin/env bash
# Installs what is missing (compiler, make, Qt and the rest, through apt-get),
# builds Korvex and starts the window. Needs nothing but a Debian shell.
# Arguments are passed on to the window (for example a project file).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
exec scripts/run.sh "$@"
