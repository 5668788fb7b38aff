#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts Quillon from its build folder, where Data/ (the default designs) and help/ lie
# beside the program. Without a display it runs the batch-mode demo and says how to use it.
set -eu
build=${1:-build}
app="$build/app/quillon"
if [ ! -x "$app" ]; then
    echo "run: $app is not built (run: make build)" >&2
    exit 1
fi
cd "$build/app"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./quillon
fi
echo "No display found: running the batch-mode demo instead."
echo "The air-core crystal radio with its default design, 'Analyse - no load' (button 3):"
echo
echo "  quillon --batch CrystalRadio --press 3"
echo
./quillon --batch CrystalRadio --press 3 || true
echo
echo "The batch mode runs any calculator without a window:"
echo "  quillon --batch KEY [--load FILE] [--set ID=VALUE]... [--press ID]... [--save FILE]"
echo "  KEY: Monopole, TuningCap, Coil, CrystalRadio, Impedance, Ferrite, DiodeCapacitance"
echo "For everything else: $app --help"
echo "To see the window on a machine without a display: scripts/screenshot.sh quillon.png $build"
