# Shared by the set-up scripts: package installation and the build.
# shellcheck shell=bash

STATION_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Installs every package listed in scripts/packages/*.txt that is not yet installed.
station_install_packages() {
    local wanted=() missing=()
    mapfile -t wanted < <(cat "$STATION_ROOT"/scripts/packages/*.txt | sed 's/#.*//' | awk 'NF {print $1}' | sort -u)
    local pkg
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "== installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# Starts what scripts/services/*.sh start (databases and the like), in name order.
station_start_services() {
    local script
    for script in "$STATION_ROOT"/scripts/services/*.sh; do
        [ -e "$script" ] || continue
        echo "== service: $(basename "$script")"
        bash "$script"
    done
}

# station_build <build dir> [extra cmake arguments...]
station_build() {
    local dir=$1
    shift
    cmake -S "$STATION_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}

# station_phase <name> <command...>: runs one step of a script and prints its wall time; the
# times are kept in STATION_PHASE_TIMES for a summary.
STATION_PHASE_TIMES=()
station_phase() {
    local name=$1 start=$SECONDS
    shift
    echo "== $name"
    "$@"
    echo "== $name: $((SECONDS - start)) s"
    STATION_PHASE_TIMES+=("$(printf '%-22s %5d s' "$name" $((SECONDS - start)))")
}

# Fails, naming them, when clang-format (the repository's .clang-format) would change any tracked
# C or C++ file. One clang-format process for all files: one per file costs seconds.
station_check_format() {
    local files=() output status=0 offenders
    clang-format --version
    mapfile -t files < <(cd "$STATION_ROOT" && git ls-files '*.cpp' '*.h' '*.c' |
        while IFS= read -r file; do [ -f "$file" ] && echo "$file"; done)
    [ ${#files[@]} -gt 0 ] || return 0
    output=$(cd "$STATION_ROOT" && clang-format --style=file --dry-run --Werror "${files[@]}" 2>&1) ||
        status=$?
    offenders=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
        <<<"$output" | sort -u)
    if [ -n "$offenders" ]; then
        echo "clang-format would change these files (clang-format -i FILE fixes one):"
        sed 's/^/  /' <<<"$offenders"
        return 1
    fi
    if [ "$status" -ne 0 ]; then
        echo "$output"
        return "$status"
    fi
}

# The fuzz targets in tests/fuzz, each with its seed corpus in tests/fuzz/corpus/<target>.
STATION_FUZZ_TARGETS=(camera_stream_fuzz pelco_reply_fuzz control_command_fuzz streaming_command_fuzz
    run_recording_fuzz recording_evaluation_fuzz)

# station_fuzz_build <build dir>: clang build of the fuzz targets and what they link, with
# libFuzzer, ASan and UBSan.
station_fuzz_build() {
    local dir=$1
    cmake -S "$STATION_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DSTATION_FUZZ=ON \
        -DSTATION_WERROR=ON -DSTATION_BUILD_BENCH=OFF >/dev/null
    cmake --build "$dir" --parallel "$(nproc)" --target station_fuzz_targets
}

# station_fuzz_run <build dir> <target> <seconds> <corpus dir> [libFuzzer options...]
# Fuzzes into the corpus dir (new inputs land there) and keeps what fails in <build dir>/artifacts.
# Non-zero on a crash, a leak, a sanitizer report or an input slower than 10 s.
station_fuzz_run() {
    local dir=$1 target=$2 seconds=$3 corpus=$4
    shift 4
    mkdir -p "$dir/artifacts" "$corpus"
    ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}" \
        "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/$target-" "$@" "$corpus"
}
