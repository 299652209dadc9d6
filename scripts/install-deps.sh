#!/usr/bin/env bash
# Installs every package the build, the tests and the demo need, from Debian's archive; given
# package names, installs those instead (the Windows build's).
set -euo pipefail
packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
    cmake ninja-build g++ pkg-config clang-format
    clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    libmariadb-dev mariadb-server mariadb-client
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-wine lintian
    pandoc xdotool imagemagick faketime
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update
    # The packaged server must not start a system instance: tests and the demo run their own.
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
