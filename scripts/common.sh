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
