#!/usr/bin/env bash
# The demo's two streaming servers: streaming-sim on 127.0.0.1:13308 (top view) and 13309 (bottom
# view), keeping the last picture of each as top.jpg and bottom.jpg in /tmp/station-streaming.
# Usage: streaming.sh <build dir> [streaming-sim options]
set -euo pipefail
build=${1:?usage: streaming.sh <build dir> [streaming-sim options]}
shift
exec "$build/tools/streaming-sim/streaming-sim" --out /tmp/station-streaming --report-seconds 30 \
    "$@" </dev/null
