#!/usr/bin/env bash
# Builds Korvex and starts the window with a new project. Arguments are passed
# on (for example a project file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exe=build/src/app/korvex
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found: Korvex is a desktop window and needs one."
  echo "Start it under a virtual display with:"
  echo "  xvfb-run -a $exe"
  echo "or save a picture of the window instead:"
  echo "  xvfb-run -a $exe --no-splash --screenshot korvex.png"
  exit 0
fi
exec "$exe" "$@"
