#!/bin/sh
# Starts Quillon from its build folder, where Data/ lies beside the program.
# Without a display it runs the batch-mode demo and says how to use the batch mode.
set -eu
build=${1:-build}
app="$build/app/quillon"
if [ ! -x "$app" ]; then
    echo "Quillon is built, but the program itself does not exist yet."
    exit 0
fi
cd "$build/app"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./quillon
fi
echo "No display found: running the batch-mode demo instead."
echo "(air-core crystal radio, 'Analyse - no load' with the default design)"
echo
./quillon --batch CrystalRadio --press 3 || true
echo
./quillon --help
