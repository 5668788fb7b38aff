#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the user guide's plots from the default designs with the batch mode's --plot:
# scripts/help-plots.sh [BUILD]. Writes app/help/plots/<calculator>.png; run it again whenever
# a model or a default design changes, and commit the pictures it makes.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
app="$build/app/quillon"
if [ ! -x "$app" ]; then
    echo "help-plots: $app is not built (run: make build)" >&2
    exit 1
fi
out="$root/app/help/plots"
mkdir -p "$out"
cd "$build/app"
export QT_QPA_PLATFORM=offscreen
size=800x480

plot() {
    name=$1
    shift
    "$app" --batch "$@" --plot "$out/$name.png" --plot-size "$size" >/dev/null
    echo "help-plots: $out/$name.png"
}

# Each press of a one-row action adds a point: the same action at several inputs.
presses() {
    id=$1
    shift
    for value in "$@"; do
        printf -- '--set %s=%s --press 3 ' "$id" "$value"
    done
}

plot coil Coil --set 1216=1000 --press 3
plot crystalradio CrystalRadio --press 6
plot selectivity CrystalRadio --press 8
plot selectivity-distance CrystalRadio --set 1278=10 --set 1228=20 --set 1229=160 --press 9
# shellcheck disable=SC2046
plot monopole Monopole --press 4
plot diode DiodeCapacitance --press 4
# shellcheck disable=SC2046
plot impedance Impedance $(presses 1193 400 500 600 700 800 900 1000 1100 1200 1400 1600)
# shellcheck disable=SC2046
plot ferrite Ferrite $(presses 1234 600 650 700 742 800 850 900)
# shellcheck disable=SC2046
plot tuningcap TuningCap $(presses 1200 250 300 350 400 450 500)
