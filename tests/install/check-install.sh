#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The installed tree and the Debian package, checked by the real tools:
#   check-install.sh CHECK BUILD ROOT
# BUILD is the build folder, ROOT the temporary prefix that "install" fills. A check whose
# tool is missing says so and exits with 77, which CTest counts as skipped.
set -eu
check=$1
build=$2
root=$3
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
id=org.quillon.Quillon

need() {
    command -v "$1" >/dev/null 2>&1 && return 0
    echo "SKIP: $1 is not installed (Debian package $2; scripts/install-deps.sh installs it)"
    exit 77
}

# Fails when the tool's output has an error or warning line, even with status 0.
quiet_or_fail() {
    status=0
    output=$("$@" 2>&1) || status=$?
    [ -z "$output" ] || printf '%s\n' "$output"
    [ "$status" -eq 0 ] || exit 1
    if printf '%s\n' "$output" | grep -Eqi '(^|: )(error|warning)[:]'; then
        exit 1
    fi
}

case "$check" in
install)
    rm -rf "$root"
    "${CMAKE:-cmake}" --install "$build" --prefix "$root" >/dev/null
    ;;
desktop)
    need desktop-file-validate desktop-file-utils
    quiet_or_fail desktop-file-validate "$root/share/applications/$id.desktop"
    ;;
appstream)
    need appstreamcli appstream
    quiet_or_fail appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml"
    ;;
mime)
    need xmllint libxml2-utils
    quiet_or_fail xmllint --noout "$root/share/mime/packages/$id.xml"
    ;;
manpage)
    need man man-db
    # Both the page in the tree and the installed one render without a warning.
    for page in "$source_dir/app/quillon.1" "$root/share/man/man1/quillon.1.gz"; do
        warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || exit 1
        if [ -n "$warnings" ]; then
            printf '%s: %s\n' "$page" "$warnings"
            exit 1
        fi
    done
    ;;
batch)
    # The installed program started elsewhere finds its default design as the built one
    # does beside its Data/; the user's own copies are kept out of both runs.
    out="$root.batch"
    rm -rf "$out"
    mkdir -p "$out/user-data"
    export XDG_DATA_HOME="$out/user-data"
    (cd "$build/app" && ./quillon --batch Coil --press 3 >"$out/built.txt" 2>"$out/built.err")
    (cd / && "$root/bin/quillon" --batch Coil --press 3 >"$out/installed.txt" 2>"$out/installed.err")
    # A default design that sets nothing, found first in the working folder, gives the form's
    # own start values: a different report, so the equal ones came from the default design.
    mkdir -p "$out/bare/Data/Coil"
    printf 'Coil\r\n1.1\r\n0,0\r\n' >"$out/bare/Data/Coil/Coil_Default.qwf"
    (cd "$out/bare" && "$root/bin/quillon" --batch Coil --press 3 >"$out/bare.txt" 2>&1 || true)
    cmp "$out/built.txt" "$out/installed.txt"
    if cmp -s "$out/installed.txt" "$out/bare.txt"; then
        echo "the installed program ran without its default design"
        exit 1
    fi
    ;;
lintian)
    need lintian lintian
    need dpkg-shlibdeps dpkg-dev
    out="$root.deb"
    rm -rf "$out"
    "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 ||
        { cat "$out.log"; exit 1; }
    for deb in "$out"/quillon_*.deb; do
        echo "lintian $(basename "$deb"):"
        lintian --fail-on error "$deb"
    done
    ;;
*)
    echo "check-install: unknown check $check" >&2
    exit 2
    ;;
esac
