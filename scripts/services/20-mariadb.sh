#!/usr/bin/env bash
# Starts the local MariaDB server (its automatic start after installation is disabled on these
# machines), waits until it answers and provisions the station's databases and accounts.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

if ! mysqladmin --protocol=socket ping >/dev/null 2>&1; then
    service mariadb start >/dev/null
fi
for _ in $(seq 1 60); do
    mysqladmin --protocol=socket ping >/dev/null 2>&1 && break
    sleep 1
done
mysqladmin --protocol=socket ping >/dev/null
"$root/deploy/provision-db.sh" --demo
