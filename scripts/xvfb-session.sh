#!/usr/bin/env bash
# Inside Xvfb: the station, and a screenshot of the whole screen (dialogs included) replaced every
# STATION_SCREENSHOT_SECONDS (default 5) at $STATION_DEMO_DIR/screen.png. Ends with the station.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
demo_dir=${STATION_DEMO_DIR:-/tmp/station-demo}
interval=${STATION_SCREENSHOT_SECONDS:-5}
"$root/build/station/acoustic-station" "$@" > "$demo_dir/station.log" 2>&1 &
station=$!
trap 'kill $station 2>/dev/null; wait $station 2>/dev/null' EXIT INT TERM
while kill -0 "$station" 2>/dev/null; do
    sleep "$interval"
    # Written beside and renamed, so a reader never sees half a picture.
    if import -window root "$demo_dir/screen.tmp.png" 2>/dev/null; then
        mv -f "$demo_dir/screen.tmp.png" "$demo_dir/screen.png"
    fi
done
wait "$station"
