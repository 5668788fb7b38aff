#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs with apt-get only the build and test dependencies that are missing, and generates
# the locales that the tests run the program in. Quick and silent when everything is present.
set -eu

PACKAGES="cmake make g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev \
libgtest-dev googletest libbenchmark-dev xvfb fonts-dejavu-core python3 \
libqcustomplot-dev libqcustomplot2.1-qt6 qt6-svg-dev clang libclang-rt-dev clang-format \
locales poppler-utils ngspice \
desktop-file-utils appstream libxml2-utils lintian man-db dpkg-dev file"

# Number formats of most of the world's desktops: a decimal point, a decimal comma with "." or
# a narrow space or an apostrophe as grouping.
LOCALES="en_US de_DE de_CH fr_FR sv_SE fi_FI nb_NO"

missing=""
for pkg in $PACKAGES; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing="$missing $pkg"
done

missing_locales=""
have=$(locale -a 2>/dev/null || true)
for name in $LOCALES; do
    echo "$have" | grep -qx "$name.utf8" || missing_locales="$missing_locales $name"
done

[ -z "$missing" ] && [ -z "$missing_locales" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "install-deps: need root or sudo to install:$missing$missing_locales" >&2
    exit 1
fi

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

for name in $missing_locales; do
    echo "Generating the locale $name.UTF-8"
    $SUDO localedef -i "$name" -c -f UTF-8 "$name.UTF-8"
done
