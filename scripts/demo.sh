#!/usr/bin/env bash
# Builds the tool and opens it against a throwaway demo store database: a local MariaDB on
# 127.0.0.2 port 3306 with sample products, and a connection.conf beside the program made
# for it by escreve-connection-conf. The server and its data, that connection.conf and the
# report the demo's imports wrote are removed when the window closes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target VivuzoriVodizerArizoz visualizador escreve-connection-conf

address=${DEMO_ADDRESS:-127.0.0.2}
password=demo-senha
work=$(mktemp -d /tmp/cadofertas-demo-XXXXXX)
source scripts/loja-demo.sh
cleanup() {
    para_loja_demo
    rm -rf "$work"
    rm -f "$root/build/app/connection.conf" "$root/demo/Relatorio.txt"
}
trap cleanup EXIT
inicia_loja_demo "$work" "$address" "$password"

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
