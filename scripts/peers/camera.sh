#!/usr/bin/env bash
# The demo's acoustic camera: camera-sim as model 3 on 127.0.0.1:6340, streaming once the station
# sends its start commands, with a defect sound from 20 s to 24 s (4.0-4.5 kHz, spot at 40,25).
# Usage: camera.sh <build dir> [extra camera-sim options]
set -euo pipefail
build=${1:?usage: camera.sh <build dir> [camera-sim options]}
shift
exec "$build/bin/camera-sim" --model 3 --port 6340 --thermal-rate 9 --spot-move \
    --defect 20,4,4000,4500,40,25 "$@" </dev/null
