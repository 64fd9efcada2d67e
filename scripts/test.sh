#!/usr/bin/env bash
# Runs every test: installs the packages, starts the servers the suites use, builds, runs CTest
# (and the ThreadSanitizer build of the threaded core).
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$STATION_ROOT"

station_install_packages
station_start_services

station_build build
(cd build && ctest --output-on-failure --timeout 300 -j "$(nproc)")

if grep -rqs 'TSAN' tests/*/CMakeLists.txt; then
    echo "== ThreadSanitizer build of the threaded core"
    # Only the suites marked TSAN (and what they link) are built with the sanitizer.
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTATION_TSAN=ON \
        -DSTATION_BUILD_BENCH=OFF >/dev/null
    cmake --build build-tsan --parallel "$(nproc)" --target station_tsan_tests
    (cd build-tsan && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
        ctest --output-on-failure --timeout 300 -j "$(nproc)")
fi
