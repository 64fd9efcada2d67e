#!/usr/bin/env bash
# Runs the station's main job on this machine: installs what it needs, builds, starts the
# servers and simulated peers, then the station itself (under Xvfb when there is no display).
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$STATION_ROOT"

station_install_packages
station_start_services
station_build build

for peer in "$STATION_ROOT"/scripts/peers/*.sh; do
    [ -e "$peer" ] || continue
    echo "== peer: $(basename "$peer")"
    bash "$peer" build &
done

if [ -z "${DISPLAY:-}" ]; then
    echo "== no display: starting the station under Xvfb (screen 1920x1080)"
    exec xvfb-run -a -s "-screen 0 1920x1080x24" build/app/acoustic-station "$@"
fi
exec build/app/acoustic-station "$@"
