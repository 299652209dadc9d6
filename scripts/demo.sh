#!/usr/bin/env bash
# Builds the tool and opens it against a throwaway demo store database: a local MariaDB on
# 127.0.0.2 port 3306 with sample products, and a connection.conf beside the program made
# for it by escreve-connection-conf. The server and its data are removed when the window
# closes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target VivuzoriVodizerArizoz visualizador escreve-connection-conf

address=${DEMO_ADDRESS:-127.0.0.2}
password=demo-senha
work=$(mktemp -d /tmp/cadofertas-demo-XXXXXX)
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mariadb-install-db --no-defaults --force --skip-name-resolve --user="$(id -un)" \
    --auth-root-authentication-method=normal --skip-test-db --datadir="$work/data" >"$work/install.log" 2>&1
mariadbd --no-defaults --user="$(id -un)" --skip-name-resolve --datadir="$work/data" \
    --bind-address="$address" --port=3306 --socket="$work/mysqld.sock" --pid-file="$work/mysqld.pid" \
    --log-error="$work/error.log" --skip-log-bin &
server_pid=$!
for _ in $(seq 1 300); do
    mariadb-admin --no-defaults -S "$work/mysqld.sock" -uroot ping >/dev/null 2>&1 && break
    sleep 0.1
done
sql() { mariadb --no-defaults -S "$work/mysqld.sock" -uroot "$@"; }
sql -e "DELETE FROM mysql.global_priv WHERE User = '' OR (User = 'root' AND Host <> 'localhost');
        FLUSH PRIVILEGES;
        CREATE USER root@'%' IDENTIFIED BY '$password'; GRANT ALL ON *.* TO root@'%';
        CREATE USER leitor@'%' IDENTIFIED BY '$password';
        CREATE DATABASE loja_demo DEFAULT CHARACTER SET latin1;
        GRANT SELECT ON loja_demo.* TO leitor@'%';"
sql loja_demo <schema/store.sql
sql loja_demo <demo/loja-demo.sql

# connection.conf beside the program, the password given on the standard input.
printf '%s\n' "$password" | build/app/escreve-connection-conf --pasta build/app --sobrescrever \
    --host "$address" --banco loja_demo --usuario leitor --nome 'Loja Demo' --senha-stdin

echo "Demo store on $address:3306 (database loja_demo). Sample offer files: $root/demo/*.csv"
cd demo # the report of products not found is written here
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    xvfb-run -a "$root/build/app/VivuzoriVodizerArizoz"
else
    "$root/build/app/VivuzoriVodizerArizoz"
fi
