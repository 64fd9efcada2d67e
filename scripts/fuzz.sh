#!/usr/bin/env bash
# A long run of one fuzz target: bash scripts/fuzz.sh <target> [seconds] [libFuzzer options...]
# Builds the fuzz build in build-fuzz, grows a working corpus in build-fuzz/corpus/<target> that
# starts from the committed seeds (which stay as they are), and keeps a failing input in
# build-fuzz/artifacts/. Replay one with: build-fuzz/tests/fuzz/<target> <file>
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$STATION_ROOT"

if [ $# -lt 1 ] || [ ! -d "tests/fuzz/corpus/$1" ]; then
    echo "usage: bash scripts/fuzz.sh <target> [seconds] [libFuzzer options...]" >&2
    echo "targets: ${STATION_FUZZ_TARGETS[*]}" >&2
    exit 2
fi
target=$1
seconds=${2:-600}
shift $(($# < 2 ? $# : 2))
dir=${STATION_BUILD_PREFIX:-build}-fuzz

station_install_packages
station_fuzz_build "$dir"
mkdir -p "$dir/corpus/$target"
cp -rn "tests/fuzz/corpus/$target/." "$dir/corpus/$target/"
station_fuzz_run "$dir" "$target" "$seconds" "$dir/corpus/$target" "$@"
