#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs each fuzz target of the clang build folder $1 for $2 seconds on its corpus.
# Usage: run-fuzz.sh BUILD SECONDS TARGET...
set -eu
build=$1
seconds=$2
shift 2
root=$(pwd)
failed=0
mkdir -p "$build/crashes"
for target in "$@"; do
    program="$build/tests/fuzz/quillon_fuzz_$target"
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    echo "== $target ($seconds s)"
    if ! ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
         LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0 \
         UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
         QT_QPA_PLATFORM=offscreen \
         "$program" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
             -artifact_prefix="$build/crashes/$target-" \
             "$corpus" "$root/tests/fuzz/corpus/$target" >"$build/fuzz-$target.log" 2>&1; then
        failed=1
        echo "   FAILED: see $build/fuzz-$target.log and $build/crashes/"
    fi
    grep -E 'stat::number_of_executed_units|stat::new_units_added' "$build/fuzz-$target.log" |
        sed 's/^/   /' || true
done
# To keep new inputs: $program -merge=1 tests/fuzz/corpus/<target> $build/corpus/<target>
exit $failed
