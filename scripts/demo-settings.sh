#!/usr/bin/env bash
# Gives a machine without station settings the demo's: the demo product, the simulated camera on
# this machine, the simulated pan/tilt head on COM1 and a result folder. Existing settings are
# left as they are.
set -euo pipefail
org="로컬 애플리케이션 마법사에서 생성된 애플리케이션"
file="${XDG_CONFIG_HOME:-$HOME/.config}/$org/acoustic-station.conf"
if [ -e "$file" ]; then
    echo "== station settings kept: $file"
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
