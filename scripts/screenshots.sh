#!/usr/bin/env bash
# The pictures in docs/: the main window on a 1440 x 900 display at scale
# factors 1 and 2, the mapping conflict view, and the download and upload
# windows at the end of a run (the download also with its read-back), each under
# a virtual display, and the two monitor windows with a few reports.
# Needs a build (scripts/build.sh) and xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/src/app/korvex
shot() {
  local out=$1
  shift
  xvfb-run -a -s "-screen 0 1440x900x24" "$exe" --no-splash "$@" --screenshot "$out"
}
shot docs/main-window.png --select "Subnet/Node-1/Read Holding Registers"
QT_SCALE_FACTOR=2 shot docs/main-window-scale2.png --select "Subnet/Node-1/Read Holding Registers"
shot docs/conflict-view.png --conflict-view
# The download and upload windows at the end of a run against korvex-gatewaysim,
# taken by their GUI test.
xvfb-run -a -s "-screen 0 1440x900x24" env -u QT_QPA_PLATFORM KORVEX_SCREENSHOT_DIR=docs \
  build/tests/gui/test_gui_transfer downloadsANewProjectWithThreeTicks uploadRebuildsTheTreeWithTheGatewaysNodes \
  downloadReadsBackAndSaysTheGatewayHoldsTheProject >/dev/null
# Both monitor windows with a few reports, taken by their GUI test.
xvfb-run -a -s "-screen 0 1440x900x24" env -u QT_QPA_PLATFORM KORVEX_SCREENSHOT_DIR=docs \
  build/tests/gui/test_gui_monitor serialMonitorOpensAt115200AndShowsEachReportAsItArrives \
  debugMonitorReadsTheLayoutAndShowsTheNewestReportOnTop >/dev/null
echo "Pictures written to docs/"
