#!/usr/bin/env bash
# Generates the comma-decimal locale the suites run the station's texts under (de_DE.UTF-8), when
# this machine does not have it yet.
set -euo pipefail
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
