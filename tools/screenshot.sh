#!/usr/bin/env bash
# Starts lxr4 on a virtual X display and saves a PNG of its main window.
#   tools/screenshot.sh [LXR4] [OUT.png]
# LXR4 defaults to build/release/qt/lxr4, OUT.png to lxr4-window.png.
# Needs xvfb-run and ImageMagick's import.
set -euo pipefail
program=$(realpath "${1:-build/release/qt/lxr4}")
out=$(realpath -m "${2:-lxr4-window.png}")
title="Tavrin LXR-4 Spectral Calibration Program - Version 1.0"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  program=$1 out=$2 title=$3
  QT_QPA_PLATFORM=xcb "$program" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  for _ in $(seq 50); do
    xwininfo -name "$title" >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1  # let the first paint finish
  import -window "$title" "$out"
' _ "$program" "$out" "$title"
echo "saved $out"
