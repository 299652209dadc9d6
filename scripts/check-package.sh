#!/bin/bash
# The Debian package tried on a clean machine: builds the .deb, runs lintian, makes a minimal
# Debian 12 root with debootstrap (kept in /var/cache/cadofertas-check between runs), installs
# the package there with apt, writes connection.conf with the installed command, and starts the
# installed program and viewer under Xvfb inside the root, with a screenshot of each in the
# build folder (package-check/). Run as root. Exits non-zero at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
CACHE=${CACHE:-/var/cache/cadofertas-check}
MIRROR=${MIRROR:-http://deb.debian.org/debian}
# The store's server for the installed program: a throwaway MariaDB on this loopback address.
ADDRESS=${CHECK_ADDRESS:-127.0.0.50}
SENHA=segredo-da-loja
OUT=$BUILD/package-check
inicio=$(date +%s)

passo() { printf '== %s\n' "$*"; }
falha() { printf 'FALHOU: %s\n' "$*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || falha "run as root (debootstrap and chroot)"
bash scripts/install-deps.sh
command -v debootstrap >/dev/null && command -v xwdtopnm >/dev/null && command -v curl >/dev/null ||
    apt-get install -y --no-install-recommends debootstrap netpbm curl

passo "Debian's archive reachable ($MIRROR)"
curl -fsS -o /dev/null --max-time 30 "$MIRROR/dists/bookworm/Release" ||
    falha "cannot reach $MIRROR"

passo "building the package"
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" -j2
rm -rf "$OUT" && mkdir -p "$OUT"
(cd "$BUILD" && cpack -G DEB -B "$PWD/package-check" >/dev/null)
deb=$(ls "$OUT"/cadofertas_*.deb)
passo "package: $deb"

passo "lintian"
lintian --fail-on error,warning --info "$deb" | tee "$OUT/lintian.txt" ||
    falha "lintian found errors or warnings (see $OUT/lintian.txt)"

passo "minimal Debian 12 root"
base=$CACHE/bookworm.tar
if [ ! -f "$base" ]; then
    rm -rf "$CACHE/bookworm.new"
    debootstrap --variant=minbase --include=xvfb,x11-apps,xauth,ca-certificates bookworm \
        "$CACHE/bookworm.new" "$MIRROR"
    tar -C "$CACHE/bookworm.new" -cf "$base.tmp" . && mv "$base.tmp" "$base"
    rm -rf "$CACHE/bookworm.new"
fi
root=$(mktemp -d /var/tmp/cadofertas-root.XXXXXX)
servidor=$(mktemp -d /tmp/cadofertas-check-XXXXXX)
limpa() {
    declare -F para_loja_demo >/dev/null && para_loja_demo
    rm -rf "$servidor"
    for m in proc dev/pts dev var/cache/apt/archives; do
        umount "$root/$m" 2>/dev/null || true
    done
    rm -rf --one-file-system "$root"
}
trap limpa EXIT
tar -C "$root" -xf "$base"
mkdir -p "$CACHE/archives/partial"
mount --bind "$CACHE/archives" "$root/var/cache/apt/archives"
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
no_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

passo "installing with apt"
cp "$deb" "$root/tmp/"
no_root apt-get update -qq
no_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$deb")" >"$OUT/apt.txt" 2>&1 || falha "apt install (see $OUT/apt.txt)"
for f in /usr/share/doc/cadofertas/copyright /usr/share/man/man1/VivuzoriVodizerArizoz.1.gz \
    /usr/share/wine/fonts/tahoma.ttf; do
    [ -e "$root$f" ] || falha "$f is not installed"
done
[ "$(readlink "$root/usr/lib/cadofertas/connection.conf")" = /etc/cadofertas/connection.conf ] ||
    falha "no link from /usr/lib/cadofertas/connection.conf to /etc"

passo "a store server on $ADDRESS:3306"
source scripts/loja-demo.sh
inicia_loja_demo "$servidor" "$ADDRESS" "$SENHA" || falha "the store server (see $servidor)"

passo "connection.conf with the installed command, read by the store's user alone"
printf '%s\n' "$SENHA" | no_root escreve-connection-conf --host "$ADDRESS" --banco loja_demo \
    --usuario leitor --senha-stdin || falha "escreve-connection-conf"
modo=$(no_root stat -c '%a %U:%G' /etc/cadofertas/connection.conf)
[ "$modo" = "640 root:cadofertas" ] || falha "connection.conf is $modo, not 640 root:cadofertas"
no_root useradd -m loja
no_root useradd -m visitante
no_root adduser --quiet loja cadofertas
como() { local quem=$1; shift; no_root setpriv --reuid="$quem" --regid="$quem" --init-groups \
    env HOME="/home/$quem" "$@"; }
como loja cat /etc/cadofertas/connection.conf >/dev/null || falha "the store's user cannot read it"
! como visitante cat /etc/cadofertas/connection.conf 2>/dev/null || falha "anyone can read it"

passo "importa-caderno as the store's user: a check that writes nothing, then the import"
caderno=(/usr/share/cadofertas/ofertas-alguns-faltando.csv --nome "Pacote" --inicio 2026-12-10
    --fim 24/12/2026 --json)
antes=$(sql_loja -N loja_demo -e "SELECT COUNT(*) FROM cadofertas")
resumo=$(como loja sh -c 'cd && exec importa-caderno "$@"' importa "${caderno[@]}" --verificar) ||
    falha "importa-caderno --verificar"
grep -q '"verificacao": true' <<<"$resumo" && grep -q '"caderno": null' <<<"$resumo" ||
    falha "the check's summary: $resumo"
[ "$(sql_loja -N loja_demo -e "SELECT COUNT(*) FROM cadofertas")" = "$antes" ] ||
    falha "the check wrote a booklet"
resumo=$(como loja sh -c 'cd && exec importa-caderno "$@"' importa "${caderno[@]}") ||
    falha "importa-caderno"
grep -q '"nao_encontrados": [1-9]' <<<"$resumo" && [ -s "$root/home/loja/Relatorio.txt" ] ||
    falha "the import's summary and report: $resumo"
# Outside the group the settings cannot be read, so the store's identification fails: nothing
# written, code 4.
codigo=0
como visitante sh -c 'cd && exec importa-caderno "$@"' importa "${caderno[@]}" >/dev/null 2>&1 ||
    codigo=$?
[ "$codigo" = 4 ] || falha "importa-caderno outside the group ended with $codigo, not 4"

passo "the program and the viewer under Xvfb"
printf 'RELATORIO DE TESTE\r\n\fPAGINA 2\r\n' >"$root/tmp/Relatorio.txt"
cat >"$root/tmp/telas.sh" <<'TELAS'
set -e
cd "$HOME"
# A display number of its own: the root shares the machine's abstract X sockets.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>/tmp/tela & xvfb=$!
for _ in $(seq 1 50); do [ -s /tmp/tela ] && break; sleep 0.1; done
export DISPLAY=:$(cat /tmp/tela) QT_QPA_PLATFORM=xcb
VivuzoriVodizerArizoz > /tmp/programa.log 2>&1 & programa=$!
sleep 6
kill -0 $programa
xwd -root -silent > /tmp/programa.xwd
kill $programa || true
/usr/lib/cadofertas/visualizador /tmp/Relatorio.txt 132 > /tmp/visualizador.log 2>&1 & vis=$!
sleep 4
kill -0 $vis
xwd -root -silent > /tmp/visualizador.xwd
kill $vis $xvfb || true
TELAS
estado() { sql_loja -N -e "SHOW GLOBAL STATUS WHERE Variable_name IN ('Connections', 'Aborted_connects')" |
    cut -f2 | tr '\n' ' '; }
read -r recusadas_antes antes <<<"$(estado)"
como loja sh /tmp/telas.sh || falha "a program did not start (see $root/tmp/*.log)"
read -r recusadas depois <<<"$(estado)"
# (Aborted_connects comes first.) The identification connection and the main one, both from
# the store user's program, and
# neither refused.
[ $((depois - antes)) -ge 2 ] && [ "$recusadas" = "$recusadas_antes" ] ||
    falha "the program did not log in to the server (connections $antes..$depois, refused $recusadas_antes..$recusadas)"
[ ! -s "$root/tmp/programa.log" ] || cat "$root/tmp/programa.log"
for tela in programa visualizador; do
    xwdtopnm "$root/tmp/$tela.xwd" 2>/dev/null | pnmtopng >"$OUT/$tela.png"
done

passo "purge removes connection.conf"
no_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq cadofertas >>"$OUT/apt.txt" 2>&1
[ ! -e "$root/etc/cadofertas" ] || falha "/etc/cadofertas is still there after purge"

passo "an earlier installation's connection.conf moves to /etc on install"
mkdir -p "$root/usr/lib/cadofertas"
printf '[connection]\r\nDatabaseIP=3132\r\n' >"$root/usr/lib/cadofertas/connection.conf"
no_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$deb")" >>"$OUT/apt.txt" 2>&1 || falha "apt install (see $OUT/apt.txt)"
[ -L "$root/usr/lib/cadofertas/connection.conf" ] &&
    grep -q DatabaseIP=3132 "$root/etc/cadofertas/connection.conf" ||
    falha "the earlier connection.conf did not move to /etc/cadofertas"
modo=$(no_root stat -c '%a %G' /etc/cadofertas/connection.conf)
[ "$modo" = "640 cadofertas" ] || falha "the moved connection.conf is $modo, not 640 cadofertas"

passo "all good in $(($(date +%s) - inicio)) s; screenshots in $OUT"
