#!/usr/bin/env bash
# Pictures of the chart page (several real births) and of the hour window,
# taken under Xvfb by the chart-request tests as they drive the real windows.
#   scripts/screenshot-chart.sh [OUTPUT_DIR]   (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")
bin=$(realpath "${ZELVARA_BIN:-build/bin}")
mkdir -p "$out"
ZELVARA_DATA_DIR="$bin" ZELVARA_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1024x768x24" "$bin/tst_main_chart_request" \
  displayMatchesTheCommandLine unknownHourIsChosenInTheHourWindow pagesFitTheWindow >/dev/null
ls "$out"/chart-*.png "$out"/hour-window.png "$out"/page-*.png
