#!/usr/bin/env bash
# Soak of the whole station (never run by CI): the real acoustic-station under Xvfb with every
# simulated peer, the model-3 camera at its full rate, a remote run every 15 s alternating the two
# looping demo engines, and both streaming servers receiving pictures. It samples the station's
# resident memory and CPU share, reads the UI thread's lateness from the station's probe, and at
# the end checks that every started run was recorded.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

usage() {
    cat <<'USAGE'
Usage: bash bench/soak/soak.sh [--duration SECONDS] [--cadence SECONDS] [--out FOLDER]

  --duration  how long the runs go on (default 3600)
  --cadence   seconds between two remote starts (default 15; the engines run 8 s each)
  --out       folder for the logs, samples.csv and summary.txt (default /tmp/station-soak)

Needs the build in build/ (bash scripts/run-station.sh builds it) and uses the demo's fixed
ports (camera 6340, control 13307, streaming 13308/13309): stop the demo first. MariaDB is
started and provisioned as for the demo. The summary is printed and kept in summary.txt.
USAGE
}

duration=3600
cadence=15
out=/tmp/station-soak
while [ $# -gt 0 ]; do
    case "$1" in
        -h | --help) usage; exit 0 ;;
        --duration) duration=${2:?}; shift ;;
        --cadence) cadence=${2:?}; shift ;;
        --out) out=${2:?}; shift ;;
        *) echo "soak.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
    esac
    shift
done

source "$root/scripts/common.sh"
station_start_services >/dev/null
[ -x "$root/build/station/acoustic-station" ] || { echo "soak.sh: build/ has no station" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/config" "$out/results"

# Own settings: the looping demo engines, the simulated camera and head, results in $out.
export XDG_CONFIG_HOME=$out/config
conf="$XDG_CONFIG_HOME/로컬 애플리케이션 마법사에서 생성된 애플리케이션/acoustic-station.conf"
mkdir -p "$(dirname "$conf")"
cat > "$conf" <<CONF
[Vorn_Test_01_2ch]
Product_Name=LOOP-A
Sensor_Default_Ip_0=127.0.0.1
Phonolux_Video_Color=1
Motor_Port=1
FolderName_Result=$out/results
CONF
export STATION_SERIAL_DIR=$out/serial
export STATION_TOWER_LIB=$root/build/tools/tower-sim/libUx64_dllc.so
export STATION_TOWER_SIM_LOG=$out/tower.log
export STATION_UI_PROBE=1

# A start every $cadence s, by the clock (no waits), so the cadence never drifts.
mission=$out/mission.txt
cat > "$mission" <<MISSION
wait-connect 60
send start LOOP-A {n}1 SOAK-{n}-A
sleep $cadence
send start 루프-B {n}2 SOAK-{n}-B
sleep $cadence
MISSION

pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; }
trap cleanup EXIT
STATION_CAMERA_DEFECT=always bash "$root/scripts/peers/camera.sh" "$root/build" > "$out/camera.log" 2>&1 &
pids+=($!)
bash "$root/scripts/peers/pantilt.sh" "$root/build" > "$out/pantilt.log" 2>&1 &
pids+=($!)
bash "$root/scripts/peers/streaming.sh" "$root/build" --out "$out/streaming" > "$out/streaming.log" 2>&1 &
pids+=($!)
sleep 1
started_at=$(date '+%Y-%m-%d %H:%M:%S')
xvfb-run -a -s "-screen 0 1920x1080x24" "$root/build/station/acoustic-station" > "$out/station.log" 2>&1 &
pids+=($!)
station=""
for _ in $(seq 100); do
    # The process name, cut to 15 characters by the kernel.
    station=$(pgrep -n -x acoustic-statio || true)
    [ -n "$station" ] && break
    sleep 0.1
done
[ -n "$station" ] || { echo "soak.sh: the station did not start" >&2; exit 1; }
sleep 3
"$root/build/tools/control-sim/control-sim" --port 13307 --quiet-status --script "$mission" --loop \
    > "$out/control.log" 2>&1 </dev/null &
control=$!
pids+=($control)
echo "soak: station pid $station, $duration s, a start every $cadence s; logs in $out"

# Samples every 10 s: elapsed, resident memory and the CPU share since the previous sample.
ticks=$(getconf CLK_TCK)
echo "elapsed_s,rss_kib,cpu_percent" > "$out/samples.csv"
cpu_of() { awk '{print $14 + $15}' "/proc/$station/stat"; }
last_cpu=$(cpu_of)
begin=$(date +%s)
last=$begin
while :; do
    sleep 10
    kill -0 "$station" 2>/dev/null || { echo "soak: the station ended early" >&2; break; }
    now=$(date +%s)
    cpu=$(cpu_of)
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$station/status")
    share=$(awk -v c=$((cpu - last_cpu)) -v t="$ticks" -v s=$((now - last)) \
        'BEGIN {printf "%.1f", 100 * c / t / s}')
    echo "$((now - begin)),$rss,$share" >> "$out/samples.csv"
    last_cpu=$cpu
    last=$now
    [ $((now - begin)) -ge "$duration" ] && break
done

# No new start; the last run finishes and is recorded, then the station is stopped as a service.
kill "$control" 2>/dev/null || true
sleep 12
kill -TERM "$station" 2>/dev/null || true
for _ in $(seq 100); do kill -0 "$station" 2>/dev/null || break; sleep 0.1; done

starts=$(grep -c -E '^-> .* INSPECTION_START$' "$out/control.log" || true)
acks=$(grep -c -E '^<- .* INSPECTION_START_ACK$' "$out/control.log" || true)
completes=$(grep -c -E '^<- .* INSPECTION_COMPLETE$' "$out/control.log" || true)
recorded=$(mysql -uroot -pacoustic -h127.0.0.1 -N -e "SELECT COUNT(*) FROM vorn_alpha_v1_ch2.t_inspection WHERE product_name IN ('LOOP-A', '루프-B') AND created_at >= '$started_at'" 2>/dev/null || echo "?")
{
    echo "duration: $duration s, a start every $cadence s, $(nproc) cores"
    awk -F, 'NR == 2 {first = $2} NR > 1 {last = $2; n++; cpu += $3; if ($2 > max) max = $2}
             END {printf "resident memory: first %d KiB, last %d KiB, highest %d KiB\n", first, last, max;
                  if (n) printf "CPU share: %.1f %% of one core on average\n", cpu / n}' "$out/samples.csv"
    grep -o 'lateness p99 [0-9]* ms, max [0-9]* ms' "$out/station.log" |
        awk '{p = $3; m = $6; if (p > pm) pm = p; if (m > mm) mm = m; n++}
             END {printf "UI lateness over %d minutes: p99 up to %d ms, maximum %d ms\n", n, pm, mm}'
    echo "runs: $starts started, $acks acknowledged, $completes completed, $recorded recorded"
    if [ "$recorded" = "$acks" ] && [ "$acks" = "$starts" ]; then
        echo "every started run was recorded"
    else
        echo "RUNS LOST: started $starts, recorded $recorded"
    fi
} | tee "$out/summary.txt"
