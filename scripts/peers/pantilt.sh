#!/usr/bin/env bash
# The demo's pan/tilt head: the simulator on a pseudo-terminal linked as COM<port> in the serial
# folder. Runs in the foreground. $1 = build folder.
# The station must look in the same folder (STATION_SERIAL_DIR) and use the same port
# (Motor_Port, "Pan/Tilt" port on the system settings page).
set -euo pipefail
build=${1:?usage: pantilt.sh <build dir>}
folder=${STATION_SERIAL_DIR:-/tmp/station-serial}
port=${STATION_PANTILT_PORT:-1}
mkdir -p "$folder"
exec "$build/tools/pantilt-sim/pantilt-sim" --dir "$folder" --port "$port" --address 1 --speed 30
