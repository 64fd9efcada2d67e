#!/usr/bin/env bash
# The demo's control server: control-sim on 127.0.0.1:13307, answering the station's vehicle
# request with code UGV-01. With STATION_MISSION naming a script file (scripts/missions/), it runs
# that mission and keeps serving afterwards; with STATION_MISSION_LOOP=1 as well it repeats the
# mission for as long as it runs. Usage: control.sh <build dir> [control-sim options]
set -euo pipefail
build=${1:?usage: control.sh <build dir> [control-sim options]}
shift
mission=()
if [ -n "${STATION_MISSION:-}" ]; then
    mission=(--script "$STATION_MISSION" --stay)
    if [ "${STATION_MISSION_LOOP:-0}" = 1 ]; then
        mission=(--script "$STATION_MISSION" --loop)
    fi
fi
exec "$build/tools/control-sim/control-sim" --port 13307 --ugv-code UGV-01 --quiet-status \
    "${mission[@]}" "$@" </dev/null
