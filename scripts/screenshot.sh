#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a picture of Quillon's main window as it starts:
#   scripts/screenshot.sh [FILE.png] [BUILD] [DESIGN.qwf]
# with the design file, if given, opened in a calculator of its kind.
# Uses a virtual X server when xvfb-run is there, else Qt's offscreen platform.
set -eu
out=${1:-quillon.png}
build=${2:-build}
design=${3:-}
case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
case "$design" in /* | "") ;; *) design="$(pwd)/$design" ;; esac
app="$build/app/quillon"
if [ ! -x "$app" ]; then
    echo "screenshot: $app is not built (run: make build)" >&2
    exit 1
fi
cd "$build/app"
if command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a -s "-screen 0 1366x768x24" ./quillon --screenshot "$out" ${design:+"$design"}
fi
QT_QPA_PLATFORM=offscreen exec ./quillon --screenshot "$out" ${design:+"$design"}
