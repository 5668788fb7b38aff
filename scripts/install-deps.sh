#!/bin/sh
# Installs with apt-get only the build and test dependencies that are missing.
# Quick and silent when everything is present.
set -eu

PACKAGES="cmake make g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev \
libgtest-dev googletest libbenchmark-dev xvfb fonts-dejavu-core python3 \
libqcustomplot-dev libqcustomplot2.1-qt6 qt6-svg-dev clang libclang-rt-dev clang-format"

missing=""
for pkg in $PACKAGES; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing="$missing $pkg"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "install-deps: need root or sudo to install:$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
