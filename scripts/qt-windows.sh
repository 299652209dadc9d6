#!/usr/bin/env bash
# Qt 6 for 64-bit Windows, cross-built with mingw-w64 from Debian's source package qt6-base
# (fetched through apt from the archive apt already uses, with Debian's own patches applied):
# QtCore, QtGui, QtWidgets, QtPrintSupport, QtTest, the windows platform plugin and the
# windowsvista style, shared, Release, with Qt's bundled third-party libraries.
# Usage: scripts/qt-windows.sh FOLDER; installs into FOLDER/qt and prints that path. The
# installed Qt is keyed by what made it (this script, cmake/mingw-w64.cmake and the Qt version):
# a FOLDER that holds one made the same way is reused as it is, any other is built again. It is
# installed into a staging folder and renamed into place, so no run ever reads a half-installed
# Qt. About 21 minutes the first time on two cores. Builds that use it pass
# QT_CHAINLOAD_TOOLCHAIN_FILE (scripts/test-windows.sh does).
set -euo pipefail
fontes=$(cd "$(dirname "$0")/.." && pwd)
pasta=$(mkdir -p "$1" && cd "$1" && pwd)
instalado=$pasta/qt

# The host Qt (same version, 6.4.2 in Debian 12) runs moc, rcc and uic for the cross build.
versao_host=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
[ -n "$versao_host" ] || { echo "qt6-base-dev (the host Qt) is not installed" >&2; exit 1; }
# Comments aside: a changed comment makes no new Qt.
chave=$({ grep -hv '^\s*#' "$fontes/scripts/qt-windows.sh" "$fontes/cmake/mingw-w64.cmake"
    echo "$versao_host"; } | sha256sum | cut -c1-16)
pronto() {
    [ "$(cat "$instalado/.chave" 2>/dev/null)" = "$chave" ] &&
        [ -f "$instalado/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] &&
        [ -f "$instalado/plugins/platforms/qwindows.dll" ] &&
        [ -f "$instalado/plugins/styles/qwindowsvistastyle.dll" ]
}
if pronto; then echo "$instalado"; exit 0; fi
# Two builds at once in one folder would pull the sources from under each other: the second
# waits for the first and then takes its result.
exec 9>"$pasta/.trava"
flock 9
if pronto; then echo "$instalado"; exit 0; fi

# shellcheck source=scripts/apt-fontes.sh
source "$fontes/scripts/apt-fontes.sh"
apt_fontes "$pasta"
# The source of the host Qt's own version, so that its moc matches the libraries built here.
(cd "$pasta" && apt-get "${opcoes_apt[@]}" source --download-only "qt6-base=$versao_host" >&2)
original=${versao_host#*:}
original=${original%-*}
fonte=$pasta/src
# The sources are unpacked and patched once; an interrupted build goes on where it stopped.
if [ ! -f "$fonte/.preparado" ]; then
    rm -rf "$fonte" && mkdir -p "$fonte"
    tar xJf "$pasta"/qt6-base_"$original".orig.tar.xz -C "$fonte" --strip-components=1
    tar xJf "$pasta"/qt6-base_"$versao_host".debian.tar.xz -C "$fonte" 2>/dev/null ||
        tar xJf "$pasta"/qt6-base_"${versao_host#*:}".debian.tar.xz -C "$fonte"
    if [ -f "$fonte/debian/patches/series" ]; then
        grep -v '^\s*\(#\|$\)' "$fonte/debian/patches/series" | while read -r remendo _; do
            patch -d "$fonte" -p1 -s <"$fonte/debian/patches/$remendo" >&2
        done
    fi
    touch "$fonte/.preparado"
fi

# Debian's source lacks src/3rdparty/wintab, hence no tablet events. Without OpenGL the
# platform plugin must not choose between OpenGL libraries at run time either (dynamicgl), or
# it does not compile. direct2d stays on: the platform plugin and QtPrintSupport use its
# DirectWrite font engine.
# A build folder made another way (another key) starts again from nothing.
construcao=$pasta/build
[ "$(cat "$construcao/.chave" 2>/dev/null)" = "$chave" ] || rm -rf "$construcao"
mkdir -p "$construcao" && echo "$chave" >"$construcao/.chave"
cmake -S "$fonte" -B "$construcao" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$fontes/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$instalado" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_testlib=ON -DFEATURE_printsupport=ON -DFEATURE_widgets=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_sql_sqlite=OFF >&2
cmake --build "$construcao" -j "${JOBS:-2}" >&2
# Installed under a staging root (the paths inside stay those of FOLDER/qt), stamped, then
# renamed into place; the Qt it replaces is removed only after.
palco=$pasta/palco
rm -rf "$palco"
DESTDIR=$palco cmake --install "$construcao" >&2
echo "$chave" >"$palco$instalado/.chave"
rm -rf "$instalado.antigo"
[ ! -e "$instalado" ] || mv "$instalado" "$instalado.antigo"
mv "$palco$instalado" "$instalado"
rm -rf "$instalado.antigo" "$palco"
echo "$instalado"
