#!/usr/bin/env bash
# The Windows build: cross-compiles the core, the conf tool and the tests that need no Qt with
# mingw-w64, and runs the tests under Wine, the database ones against the demo store on a
# throwaway MariaDB with MariaDB Connector/C cross-built from Debian's source package. Debian's
# packages only.
# Usage: scripts/test-windows.sh [build folder, default build-windows]; STORE_ADDRESS moves the
# store's server (127.0.0.60 port 3306).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
endereco=${STORE_ADDRESS:-127.0.0.60}

bash scripts/install-deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest \
    libmariadb-dev file mariadb-server mariadb-client

# Without a source of MariaDB in the archive there is no client DLL: the store tests are left
# out, loudly; any other failure of the connector's build fails the run.
codigo=0
dll=$(bash scripts/connector-windows.sh "$build/connector") || codigo=$?
if [ "$codigo" != 0 ]; then
    [ "$codigo" = 3 ] || exit "$codigo"
    dll=""
    echo "NOTICE: no MariaDB source package in the archive; the store tests under Wine are not built" >&2
fi

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
# Wine's own settings live in the build folder, never in the user's home.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" \
    -DCADOFERTAS_WINDOWS_CLIENT_DLL="$dll"
cmake --build "$build" -j "${JOBS:-2}"

# Every program built must be a 64-bit Windows one.
find "$build" -name '*.exe' -not -path "*/wineprefix/*" -not -path "*/CMakeFiles/*" \
    -not -path "*/connector/*" -print0 |
    while IFS= read -r -d '' exe; do
        file -b "$exe" | grep -q '^PE32+ executable.*x86-64' ||
            { echo "not a 64-bit Windows program: $exe" >&2; exit 1; }
    done

# The demo store for the database tests, stopped with the Wine server at the end.
# shellcheck source=scripts/loja-demo.sh
source scripts/loja-demo.sh
export CADOFERTAS_LOJA_ENDERECO=$endereco CADOFERTAS_LOJA_SENHA=loja-windows
rm -rf "$build/loja"
inicia_loja_demo "$PWD/$build/loja" "$endereco" "$CADOFERTAS_LOJA_SENHA"
# One Wine server for the whole run, with Wine's own services started here: started by the
# first test instead, they would hold its output open and ctest would wait for them.
"$(dirname "$wine")/wineserver" -p 2>/dev/null || true
trap 'para_loja_demo; "$(dirname "$wine")/wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot >/dev/null 2>&1 </dev/null
ctest --test-dir "$build" --output-on-failure -j "${JOBS:-2}"
