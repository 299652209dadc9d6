#!/usr/bin/env bash
# The Windows build: cross-compiles the whole program with mingw-w64 (the core, the conf tool,
# the command, and with Qt cross-built from Debian's source the window and the viewer), runs the
# tests under Wine, the database ones against the demo store on a throwaway MariaDB with MariaDB
# Connector/C cross-built from Debian's source package, the window's on an X server (Xvfb) of
# the run's own; then builds the .msi and proves it by a store user's session on the installed
# program (tests/windows/instalador.sh). Debian's packages only.
# Usage: scripts/test-windows.sh [build folder, default build-windows]; STORE_ADDRESS moves the
# store's server (127.0.0.60 port 3306), QT_WINDOWS_CACHE the cross-built Qt (kept between runs,
# outside the checkout: /var/cache/cadofertas-windows, or ~/.cache/cadofertas-windows when not
# root).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
endereco=${STORE_ADDRESS:-127.0.0.60}
if [ "$(id -u)" = 0 ]; then cache_padrao=/var/cache/cadofertas-windows; else cache_padrao=$HOME/.cache/cadofertas-windows; fi
cache=${QT_WINDOWS_CACHE:-$cache_padrao}

bash scripts/install-deps.sh cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest \
    libmariadb-dev file mariadb-server mariadb-client qt6-base-dev qt6-base-dev-tools \
    qt6-translations-l10n fonts-wine xvfb xauth x11-xkb-utils x11-utils xdotool imagemagick wixl msitools pandoc patch \
    xz-utils python3

# Without a source of MariaDB in the archive there is no client DLL: the store tests are left
# out, loudly; any other failure of the connector's build fails the run.
codigo=0
dll=$(bash scripts/connector-windows.sh "$build/connector") || codigo=$?
if [ "$codigo" != 0 ]; then
    [ "$codigo" = 3 ] || exit "$codigo"
    dll=""
    echo "NOTICE: no MariaDB source package in the archive; the store tests under Wine are not built" >&2
fi

# Qt for Windows: about 21 minutes the first time on two cores, then reused from the cache.
qt=$(bash scripts/qt-windows.sh "$cache")

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
# Wine's own settings live in the build folder, never in the user's home; each test and Wine
# start takes the Brazilian user's locale from its own environment (tests/windows/).
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Qt's toolchain file sets the cross build up for Qt and then loads ours.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
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

# The demo store for the database tests, the X server for the window's; both stopped with the
# Wine server at the end.
# shellcheck source=scripts/loja-demo.sh
source scripts/loja-demo.sh
# shellcheck source=tests/windows/ambiente-wine.sh
source tests/windows/ambiente-wine.sh
export CADOFERTAS_LOJA_ENDERECO=$endereco CADOFERTAS_LOJA_SENHA=loja-windows
# Set before anything starts: whatever did start is stopped however the run ends.
trap 'para_loja_demo; para_wine; para_tela' EXIT
rm -rf "$build/loja"
inicia_loja_demo "$PWD/$build/loja" "$endereco" "$CADOFERTAS_LOJA_SENHA"
inicia_tela
inicia_wine "$wine"
ctest --test-dir "$build" --output-on-failure -j "${JOBS:-2}"
para_wine

# The installer, and a store user's session on what it installs.
msi=$(bash scripts/package-windows.sh "$build")
bash tests/windows/instalador.sh "$build" "$msi"
