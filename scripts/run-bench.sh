#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every Google Benchmark program of the build folder given as $1.
set -eu
build=${1:-build}
found=0
for bench in "$build"/bench/*/quillon_bench_* "$build"/bench/quillon_bench_*; do
    # Programs only: the build also keeps folders of the same names.
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    found=1
    echo "== $(basename "$bench")"
    (cd "$(dirname "$bench")" && QT_QPA_PLATFORM=offscreen "./$(basename "$bench")")
done
[ "$found" -eq 1 ] || echo "No benchmark programs built yet."
