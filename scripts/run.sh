#!/usr/bin/env bash
# Builds Korvex and starts it with a new project.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [[ -x build/src/app/korvex ]]; then
  if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display found. Start Korvex under a virtual display with:"
    echo "  xvfb-run -a build/src/app/korvex"
    exit 1
  fi
  exec build/src/app/korvex "$@"
fi
# Until the window exists: a short demonstration of the headless front end.
demo=$(mktemp -d)/demo.kvx
build/tools/cli/korvex-cli new "$demo"
echo "Created $demo:"
build/tools/cli/korvex-cli dump "$demo"
