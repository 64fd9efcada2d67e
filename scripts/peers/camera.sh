#!/usr/bin/env bash
# The demo's acoustic camera: camera-sim as model 3 on 127.0.0.1:6340, streaming once the station
# sends its start commands, with a defect sound for 10 s of every 74 s from 15 s on (6.0-7.0 kHz,
# loud spot at cell 10,8 inside the demo products' inspection area). With STATION_CAMERA_REPLAY
# naming a run recording, it serves that recording over and over instead; with
# STATION_CAMERA_DEFECT=always the defect tone sounds without a pause (the looping demo mission).
# Usage: camera.sh <build dir> [extra camera-sim options]
set -euo pipefail
build=${1:?usage: camera.sh <build dir> [camera-sim options]}
shift
if [ -n "${STATION_CAMERA_REPLAY:-}" ]; then
    exec "$build/bin/camera-sim" --model 3 --port 6340 --replay "$STATION_CAMERA_REPLAY" --loop \
        "$@" </dev/null
fi
defect=(--defect 15,10,6000,7000,10,8 --defect-every 74)
if [ "${STATION_CAMERA_DEFECT:-}" = always ]; then
    defect=(--defect 0,1000000000,6000,7000,10,8)
fi
exec "$build/bin/camera-sim" --model 3 --port 6340 --thermal-rate 9 --spot-move "${defect[@]}" \
    "$@" </dev/null
