#!/usr/bin/env bash
# Gives a machine without station settings the demo's: the demo product, the simulated camera on
# this machine, the simulated pan/tilt head on COM1 and a result folder. Existing settings are
# left as they are, except that STATION_RECORD_RUNS=1 (or 0) sets Run_Record_Enable.
set -euo pipefail
org="로컬 애플리케이션 마법사에서 생성된 애플리케이션"
file="${XDG_CONFIG_HOME:-$HOME/.config}/$org/acoustic-station.conf"
record=${STATION_RECORD_RUNS:-}
set_record_key() {
    [ -n "$record" ] || return 0
    if grep -q '^Run_Record_Enable=' "$file"; then
        sed -i "s/^Run_Record_Enable=.*/Run_Record_Enable=$record/" "$file"
    else
        sed -i "/^\[Vorn_Test_01_2ch\]/a Run_Record_Enable=$record" "$file"
    fi
    echo "== run recordings: Run_Record_Enable=$record in $file"
}
if [ -e "$file" ]; then
    echo "== station settings kept: $file"
    set_record_key
    exit 0
fi
mkdir -p "$(dirname "$file")" /var/tmp/station-results
cat > "$file" <<'CONF'
[Vorn_Test_01_2ch]
Product_Name=DEMO-A1
Sensor_Default_Ip_0=127.0.0.1
Phonolux_Video_Color=1
Motor_Port=1
FolderName_Result=/var/tmp/station-results
CONF
echo "== demo station settings written: $file"
set_record_key
