#!/usr/bin/env bash
# The Windows build: cross-compiles the core, the conf tool and the tests that need neither Qt
# nor a database server with mingw-w64, and runs the tests under Wine. Debian's packages only.
# Usage: scripts/test-windows.sh [build folder, default build-windows]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest libmariadb-dev file)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
# Wine's own settings live in the build folder, never in the user's home.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR="$wine"
cmake --build "$build" -j "${JOBS:-2}"

# Every program built must be a 64-bit Windows one.
find "$build" -name '*.exe' -not -path "*/wineprefix/*" -not -path "*/CMakeFiles/*" -print0 |
    while IFS= read -r -d '' exe; do
        file -b "$exe" | grep -q '^PE32+ executable.*x86-64' ||
            { echo "not a 64-bit Windows program: $exe" >&2; exit 1; }
    done
# One Wine server for the whole run, started before the tests and stopped after them.
"$(dirname "$wine")/wineserver" -p 2>/dev/null || true
trap '"$(dirname "$wine")/wineserver" -k 2>/dev/null || true' EXIT
ctest --test-dir "$build" --output-on-failure -j "${JOBS:-2}"
