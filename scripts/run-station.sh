#!/usr/bin/env bash
# Runs the station's main job on this machine: installs what it needs, builds, starts the
# servers and simulated peers, then the station itself (under Xvfb when there is no display).
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$STATION_ROOT"

station_install_packages
station_start_services
station_build build

# The demo's simulated head and signal tower.
export STATION_SERIAL_DIR=${STATION_SERIAL_DIR:-/tmp/station-serial}
export STATION_TOWER_LIB=${STATION_TOWER_LIB:-$STATION_ROOT/build/tools/tower-sim/libUx64_dllc.so}
export STATION_TOWER_SIM_LOG=${STATION_TOWER_SIM_LOG:-/tmp/station-tower.log}
bash "$STATION_ROOT/scripts/demo-settings.sh"

# The peers end with this script.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
for peer in "$STATION_ROOT"/scripts/peers/*.sh; do
    [ -e "$peer" ] || continue
    echo "== peer: $(basename "$peer")"
    bash "$peer" build &
done
sleep 1

if [ -z "${DISPLAY:-}" ]; then
    echo "== no display: starting the station under Xvfb (screen 1920x1080)"
    xvfb-run -a -s "-screen 0 1920x1080x24" build/station/acoustic-station "$@"
else
    build/station/acoustic-station "$@"
fi
