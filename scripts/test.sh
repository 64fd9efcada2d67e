#!/usr/bin/env bash
# Runs every test: installs the packages, checks the formatting, starts the servers the suites
# use, builds with warnings as errors and runs CTest, then the sanitizer builds: ThreadSanitizer
# for the threaded core, AddressSanitizer and UBSan for the suites that need no widgets, and each
# fuzz target for 20 s on a copy of its seed corpus.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$STATION_ROOT"

# build, build-tsan, build-asan and build-fuzz; STATION_BUILD_PREFIX renames them.
prefix=${STATION_BUILD_PREFIX:-build}
jobs=$(nproc)
total_start=$SECONDS

run_ctest() {
    (cd "$1" && ctest --output-on-failure --timeout 300 -j "$jobs")
}

build_tsan() {
    # Only the suites marked TSAN (and what they link) are built with the sanitizer.
    cmake -S . -B "$prefix-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTATION_TSAN=ON \
        -DSTATION_WERROR=ON -DSTATION_BUILD_BENCH=OFF >/dev/null
    cmake --build "$prefix-tsan" --parallel "$jobs" --target station_tsan_tests
}

run_tsan_ctest() {
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_ctest "$prefix-tsan"
}

build_asan() {
    # Only the suites marked ASAN (and what they link), plus the seed replays of the fuzz targets.
    cmake -S . -B "$prefix-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTATION_ASAN=ON \
        -DSTATION_WERROR=ON -DSTATION_BUILD_BENCH=OFF >/dev/null
    cmake --build "$prefix-asan" --parallel "$jobs" --target station_asan_tests
}

run_asan_ctest() {
    # Qt and libmariadb are not instrumented; what they keep until exit is suppressed by name in
    # tests/sanitizers/lsan.supp, everything else that leaks fails the suite.
    ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        LSAN_OPTIONS="suppressions=$STATION_ROOT/tests/sanitizers/lsan.supp:print_suppressions=0" \
        run_ctest "$prefix-asan"
}

# Both targets at once, one per core, each on a fresh copy of its seeds so that the committed
# corpus stays as it is.
run_fuzz() {
    local work target failed=0
    work=$(mktemp -d)
    local -A pids
    for target in "${STATION_FUZZ_TARGETS[@]}"; do
        cp -r "tests/fuzz/corpus/$target" "$work/$target"
        station_fuzz_run "$prefix-fuzz" "$target" 20 "$work/$target" >"$work/$target.log" 2>&1 &
        pids[$target]=$!
    done
    for target in "${STATION_FUZZ_TARGETS[@]}"; do
        if wait "${pids[$target]}"; then
            echo "-- $target: $(grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' \
                "$work/$target.log" | tr '\n' ' ')"
        else
            failed=1
            echo "-- $target FAILED (inputs kept in $prefix-fuzz/artifacts/):"
            grep -vE '^#[0-9]+\s+(NEW|REDUCE|pulse|INITED)' "$work/$target.log" | tail -n 80
        fi
    done
    rm -rf "$work"
    return "$failed"
}

station_phase "packages" station_install_packages
station_phase "format check" station_check_format
station_phase "services" station_start_services

station_phase "build" station_build "$prefix" -DSTATION_WERROR=ON
station_phase "ctest" run_ctest "$prefix"

if grep -rqs 'TSAN' tests/*/CMakeLists.txt; then
    station_phase "tsan build" build_tsan
    station_phase "tsan ctest" run_tsan_ctest
fi

if grep -rqs 'ASAN' tests/*/CMakeLists.txt; then
    station_phase "asan build" build_asan
    station_phase "asan ctest" run_asan_ctest
fi

station_phase "fuzz build" station_fuzz_build "$prefix-fuzz"
station_phase "fuzz runs (20 s each)" run_fuzz

echo "== wall times on $(nproc) cores"
printf '   %s\n' "${STATION_PHASE_TIMES[@]}"
printf '   %-22s %5d s\n' "total" $((SECONDS - total_start))
