#!/usr/bin/env bash
# Creates the station's databases, tables and accounts on the local MariaDB server. Safe to run
# again: every statement keeps what exists.
set -euo pipefail

usage() {
    cat <<'TEXT'
Usage: provision-db.sh [--demo] [--help]

Applies the SQL beside this script to the MariaDB server on this machine, connecting as the
system's root user through the server's socket (run it as root):
  databases.sql      vorn_alpha_v1_ch2 (local), vorn_web_db_v1 (web), vorn_local_db (bridge)
  products.sql       t_product and t_sensor in the web and the bridge database
  results.sql        t_inspection and t_summary in the local database
  pictures.sql       t_inspection_result in the bridge database
  accounts.sql       root (local password "acoustic", web password "7391"), inspection ("7391")

  --demo   also load the demo products with their "Top" sensor rows (web and bridge)
  --help   show this text
TEXT
}

demo=0
for arg in "$@"; do
    case "$arg" in
        --demo) demo=1 ;;
        --help | -h) usage; exit 0 ;;
        *) echo "unknown argument: $arg" >&2; usage >&2; exit 2 ;;
    esac
done

here=$(cd "$(dirname "$0")" && pwd)
sql() { mysql --protocol=socket --user=root --default-character-set=utf8mb4 "$@"; }

sql <"$here/databases.sql"
for db in vorn_web_db_v1 vorn_local_db; do
    sql "$db" <"$here/products.sql"
done
sql vorn_alpha_v1_ch2 <"$here/results.sql"
sql vorn_local_db <"$here/pictures.sql"
sql <"$here/accounts.sql"
if [ "$demo" -eq 1 ]; then
    for db in vorn_web_db_v1 vorn_local_db; do
        sql "$db" <"$here/demo-products.sql"
    done
fi
echo "databases provisioned"
