#!/usr/bin/env bash
# Installs every package the build, the tests and the demo need, from Debian's archive; given
# package names, installs those instead (the Windows build's). Either way, the Brazilian
# Portuguese locale (pt_BR.UTF-8) is generated: the regional settings of the Linux programs,
# and Wine, which without it runs with an ASCII code page (names with accents lose their
# accents) and speaks English, where with it it behaves as a Brazilian Windows.
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
packages+=(locales)
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
if ! locale -a 2>/dev/null | grep -qix 'pt_BR\.utf-\?8'; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    # Enabled in the list of locales to build (added when the list lacks the line), then built.
    if grep -q '^# *pt_BR\.UTF-8 UTF-8' /etc/locale.gen; then
        $SUDO sed -i 's/^# *\(pt_BR\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    elif ! grep -q '^pt_BR\.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'pt_BR.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    $SUDO locale-gen
fi
