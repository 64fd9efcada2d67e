#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks it as an installer meets it:
# the files where the system looks for them, the dependencies, the post-installation script that
# sets the capabilities, and no lintian error.
# Usage: check-package.sh <build folder>
set -euo pipefail
build=${1:?usage: check-package.sh <build folder>}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    exit 1
}
deb=$(ls "$work"/*.deb)
echo "package: $(basename "$deb")"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

contents=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for path in /usr/bin/acoustic-station /usr/bin/station-evaluate \
    /usr/lib/acoustic-station/bin/camera-sim \
    /usr/lib/acoustic-station/bin/camera-dump \
    /usr/lib/acoustic-station/bin/control-sim \
    /usr/lib/acoustic-station/bin/streaming-sim \
    /usr/lib/acoustic-station/bin/pantilt-sim \
    /usr/lib/acoustic-station/tower-sim/libUx64_dllc.so \
    /usr/share/acoustic-station/deploy/provision-db.sh \
    /usr/share/acoustic-station/deploy/products.sql \
    /usr/share/acoustic-station/deploy/accounts.sql \
    /usr/share/acoustic-station/missions/demo-loop.txt \
    /lib/udev/rules.d/99-station-pantilt.rules \
    /usr/lib/systemd/user/acoustic-station.service \
    /usr/lib/sysctl.d/60-acoustic-station.conf \
    /usr/share/doc/acoustic-station/copyright \
    /usr/share/doc/acoustic-station/changelog.Debian.gz; do
    grep -qx "$path" <<< "$contents" || fail "missing $path"
done
# Nothing of the build tree, the tests or the benchmarks.
if grep -E 'test|bench|/build' <<< "$contents" | grep -v 'station-evaluate'; then
    fail "test or build files in the package"
fi

control=$(dpkg-deb -f "$deb")
grep -q '^Package: acoustic-station$' <<< "$control" || fail "package name"
grep -q '^Depends:.*libqt6widgets6' <<< "$control" || fail "Qt widgets not among the dependencies"
grep -q '^Depends:.*libmariadb3' <<< "$control" || fail "MariaDB client library not among the dependencies"
grep -q '^Depends:.*libcap2-bin' <<< "$control" || fail "setcap's package not among the dependencies"

dpkg-deb -e "$deb" "$work/control"
grep -q 'setcap cap_net_raw,cap_sys_nice+ep /usr/bin/acoustic-station' "$work/control/postinst" ||
    fail "postinst does not set the capabilities"
grep -q 'net.core.rmem_max = 16777216' <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/sysctl.d/60-acoustic-station.conf) ||
    fail "sysctl drop-in without the 16 MiB receive buffer"
grep -q '^ExecStart=/usr/bin/acoustic-station$' <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/lib/systemd/user/acoustic-station.service) ||
    fail "the user service does not start the installed station"

if command -v lintian >/dev/null; then
    if ! lintian --fail-on error --suppress-tags-from-file /dev/null "$deb" > "$work/lintian.log" 2>&1; then
        cat "$work/lintian.log"
        fail "lintian reports errors"
    else
        echo "lintian: no errors ($(grep -c '^W:' "$work/lintian.log" || true) warnings)"
    fi
else
    fail "lintian is not installed"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package checked"
