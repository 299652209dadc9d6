#!/usr/bin/env bash
# MariaDB Connector/C for Windows, cross-built with mingw-w64 from Debian's source package of
# MariaDB (its libmariadb folder), fetched through apt from the archive apt already uses.
# Usage: scripts/connector-windows.sh FOLDER; prints the path of FOLDER/libmariadb.dll, which it
# reuses when it is already there. About 90 s the first time on two cores. Exits with 3 when
# the archive offers no source of MariaDB to download, with 1 on any other failure.
set -euo pipefail
fontes=$(cd "$(dirname "$0")/.." && pwd)
pasta=$(mkdir -p "$1" && cd "$1" && pwd)
dll=$pasta/libmariadb.dll
if [ -f "$dll" ]; then echo "$dll"; exit 0; fi

# shellcheck source=scripts/apt-fontes.sh
source "$fontes/scripts/apt-fontes.sh"
apt_fontes "$pasta" || { echo "the archive's source indexes could not be read" >&2; exit 3; }
# The newest version first; a mirror may lack one suite's pool (the security updates'), so
# each version is tried in turn.
baixado=""
for versao in $(apt-cache "${opcoes_apt[@]}" showsrc mariadb | sed -n 's/^Version: //p' | sort -rV -u); do
    if (cd "$pasta" && apt-get "${opcoes_apt[@]}" source --download-only "mariadb=$versao" >&2); then
        baixado=$versao
        break
    fi
done
[ -n "$baixado" ] || { echo "no source of mariadb could be downloaded" >&2; exit 3; }
echo "MariaDB $baixado's Connector/C" >&2

# The upstream version: without the epoch and the Debian revision.
original=${baixado#*:}
original=${original%-*}
tar xzf "$pasta/mariadb_$original.orig.tar.gz" -C "$pasta" --wildcards '*/libmariadb/*'
# Windows' own TLS (SChannel); every plugin built in, so the DLL stands alone.
cmake -S "$pasta/mariadb-$original/libmariadb" -B "$pasta/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$fontes/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DWITH_SSL=SCHANNEL -DWITH_UNIT_TESTS=OFF -DWITH_CURL=OFF -DWITH_EXTERNAL_ZLIB=OFF \
    -DCLIENT_PLUGIN_DIALOG=STATIC -DCLIENT_PLUGIN_CLIENT_ED25519=STATIC \
    -DCLIENT_PLUGIN_CACHING_SHA2_PASSWORD=STATIC -DCLIENT_PLUGIN_SHA256_PASSWORD=STATIC \
    -DCLIENT_PLUGIN_MYSQL_CLEAR_PASSWORD=STATIC -DCLIENT_PLUGIN_PVIO_SHMEM=STATIC \
    -DCLIENT_PLUGIN_AUTH_GSSAPI_CLIENT=STATIC >&2
cmake --build "$pasta/build" -j "${JOBS:-2}" >&2
x86_64-w64-mingw32-strip -o "$dll" "$pasta/build/libmariadb/libmariadb.dll"
echo "$dll"
