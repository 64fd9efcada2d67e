#!/usr/bin/env bash
# Runs the station's main job on this machine: installs what it needs, builds, starts the
# servers and the simulated peers with a looping remote mission, then the station itself (under
# Xvfb when there is no display), printing one line per finished inspection.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$STATION_ROOT"

usage() {
    cat <<'USAGE'
Usage: bash scripts/run-station.sh [--no-mission] [--display] [--help] [-- STATION OPTIONS]

Installs the packages, builds, starts MariaDB (with the demo products) and every simulated peer:
the camera (model 3), the pan/tilt head, the signal tower, the two streaming servers and the
control server. The control server runs a looping mission: after the vehicle information, an
inspection start about every 20 s, alternating LOOP-A (judged NG: it hears the camera's defect
tone) and 루프-B (judged OK), with a head move between runs. One line is printed per
INSPECTION_COMPLETE. Stop it with Ctrl+C.

Without a display (or without --display) the station runs inside Xvfb at 1920 x 1080 and a
screenshot of the screen is kept current every few seconds; its path is printed at the start.

Options:
  --no-mission   no mission: the control server only answers; run inspections with F2 or
                 STATION_MISSION=FILE (see scripts/missions/)
  --display      show the station on the current display ($DISPLAY) instead of Xvfb
  --help         this text
Everything after -- goes to acoustic-station.

Environment: STATION_DEMO_DIR (logs and screenshot, default /tmp/station-demo),
STATION_MISSION (a mission file instead of the loop), STATION_SCREENSHOT_SECONDS (default 5).
USAGE
}

mission_loop=1
use_display=0
station_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        -h | --help) usage; exit 0 ;;
        --no-mission) mission_loop=0 ;;
        --display) use_display=1 ;;
        --) shift; station_args=("$@"); break ;;
        *) echo "run-station.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    esac
    shift
done
if [ "$use_display" = 1 ] && [ -z "${DISPLAY:-}" ]; then
    echo "run-station.sh: --display given, but DISPLAY is not set" >&2
    exit 2
fi

station_install_packages
station_start_services
station_build build

demo_dir=${STATION_DEMO_DIR:-/tmp/station-demo}
mkdir -p "$demo_dir"
# The demo's simulated head and signal tower.
export STATION_SERIAL_DIR=${STATION_SERIAL_DIR:-/tmp/station-serial}
export STATION_TOWER_LIB=${STATION_TOWER_LIB:-$STATION_ROOT/build/tools/tower-sim/libUx64_dllc.so}
export STATION_TOWER_SIM_LOG=${STATION_TOWER_SIM_LOG:-/tmp/station-tower.log}
if [ -z "${STATION_MISSION:-}" ] && [ "$mission_loop" = 1 ]; then
    export STATION_MISSION=$STATION_ROOT/scripts/missions/demo-loop.txt
    export STATION_MISSION_LOOP=1
    export STATION_CAMERA_DEFECT=${STATION_CAMERA_DEFECT:-always}
fi
bash "$STATION_ROOT/scripts/demo-settings.sh"

# The peers and the helpers below end with this script.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
for peer in "$STATION_ROOT"/scripts/peers/*.sh; do
    [ -e "$peer" ] || continue
    name=$(basename "$peer" .sh)
    : > "$demo_dir/$name.log"
    bash "$peer" build > "$demo_dir/$name.log" 2>&1 &
done
echo "== peers started; their logs: $demo_dir/{camera,control,pantilt,streaming}.log"
if [ -n "${STATION_MISSION:-}" ]; then
    echo "== mission: $STATION_MISSION$([ "${STATION_MISSION_LOOP:-0}" = 1 ] && echo ' (looping)')"
fi
sleep 1

# One line per INSPECTION_COMPLETE the control server received.
report_completions() {
    local line id="" result="" inside=0
    while IFS= read -r line; do
        case "$line" in
            *"<CMD_ID>INSPECTION_COMPLETE</CMD_ID>"*) inside=1; id=""; result="" ;;
            *"<CMD_ID>"*) inside=0 ;;
            *"<INSPECTION_ID>"*) id=${line#*<INSPECTION_ID>}; id=${id%%<*} ;;
            *"<RESULT>"*) result=${line#*<RESULT>}; result=${result%%<*} ;;
            *"<MISSION_ID>"*)
                if [ "$inside" = 1 ]; then
                    local mission=${line#*<MISSION_ID>}
                    mission=${mission%%<*}
                    printf '%s INSPECTION_COMPLETE inspection %s %s mission %s\n' \
                        "$(date +%H:%M:%S)" "$id" "$([ "$result" = 1 ] && echo NG || echo OK)" \
                        "$mission"
                    inside=0
                fi
                ;;
        esac
    done < <(tail -n +1 -F --pid=$$ "$demo_dir/control.log" 2>/dev/null)
}
report_completions &

echo "== station output: $demo_dir/station.log"
if [ "$use_display" = 1 ]; then
    build/station/acoustic-station "${station_args[@]}" > "$demo_dir/station.log" 2>&1
else
    echo "== no display: the station runs under Xvfb (screen 1920x1080)"
    echo "== current screenshot: $demo_dir/screen.png (every ${STATION_SCREENSHOT_SECONDS:-5} s)"
    STATION_DEMO_DIR=$demo_dir xvfb-run -a -s "-screen 0 1920x1080x24" \
        bash "$STATION_ROOT/scripts/xvfb-session.sh" "${station_args[@]}"
fi
