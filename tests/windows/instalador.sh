#!/usr/bin/env bash
# A store user's session on the installed Windows program, driven from outside the program only:
# the .msi installed into a fresh Wine prefix set up as a store's Windows (a Brazilian one:
# code page 1252, Portuguese dialogs, a Brazilian keyboard), connection.conf written with the
# installed tool, the program started from its own folder on an X server and used by keystrokes
# and clicks (the file, in a folder with accents under a user folder with accents, chosen
# through the real file dialog, a booklet name with accents typed, the dates typed, Enter
# through the fields, the completion message answered). Then the store's tables and the
# server's general log are checked against the same import made by this Linux build's
# importa-caderno on a copy of the store, the report must be in the user's Documents and the
# installed viewer must show it, and uninstalling must remove the program and leave
# connection.conf.
# Usage: tests/windows/instalador.sh BUILD MSI [LINUX_BUILD, default build]; INSTALLER_ADDRESS
# moves the store's server (127.0.0.61 port 3306). Screenshots and logs go to BUILD/instalador/.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(cd "$1" && pwd)
msi=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
linux=$(cd "${3:-build}" && pwd)
endereco=${INSTALLER_ADDRESS:-127.0.0.61}
senha=loja-instalada
saida=$build/instalador
rm -rf "$saida" && mkdir -p "$saida/trabalho" "$saida/linux"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
export WINEPREFIX=$saida/prefixo WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck source=scripts/loja-demo.sh
source scripts/loja-demo.sh
# shellcheck source=tests/windows/ambiente-wine.sh
source tests/windows/ambiente-wine.sh
# shellcheck source=tests/support/janelas-x.sh
source tests/support/janelas-x.sh
trap 'para_loja_demo; para_wine; para_tela' EXIT
# A file of this machine as Wine's programs name it (drive Z: is the root).
caminho_windows() { local c=$1; printf 'Z:%s' "${c//\//\\}"; }
# xdotool reads the text it types as UTF-8.
tecla() { LC_ALL=C.UTF-8 xdotool "$@"; }
falha() {
    echo "instalador: $*" >&2
    import -display "$DISPLAY" -window root "$saida/falha.png" 2>/dev/null || true
    exit 1
}
[ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 || inicia_tela

# The store, and a copy of it as it was before the session for the Linux run.
inicia_loja_demo "$saida/loja" "$endereco" "$senha"
sql_loja -e "CREATE DATABASE loja_linux DEFAULT CHARACTER SET latin1;
    GRANT SELECT ON loja_linux.* TO leitor@'%';"
mariadb-dump --no-defaults -S "$pasta_loja/mysqld.sock" -uroot loja_demo | sql_loja loja_linux
sql_loja -e "SET GLOBAL general_log_file = '$saida/general.log'; SET GLOBAL general_log = 1;"

# Installed as the chain's IT installs it.
inicia_wine "$wine"
wine_br msiexec /i "$(caminho_windows "$msi")" /qn </dev/null || falha "msiexec /i failed"
programa_win='C:\Program Files\Caderno de Ofertas'
pasta=$WINEPREFIX/drive_c/Program\ Files/Caderno\ de\ Ofertas
for f in VivuzoriVodizerArizoz.exe visualizador.exe escreve-connection-conf.exe importa-caderno.exe \
    Qt6Widgets.dll manual-do-usuario.html manual-da-ti.html \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll libmariadb.dll libstdc++-6.dll \
    translations/qtbase_pt_BR.qm qt.conf; do
    [ -f "$pasta/$f" ] || falha "the installer did not install $f"
done
# The Start menu's entries, named as the window and the guide are, in the package's own table
# (Wine's installer makes their folder but writes no .lnk files).
atalhos=$(msiinfo export "$msi" Shortcut | tail -n +4 | cut -f 3,5 | sort)
[ "$atalhos" = "$(printf 'Importação Caderno de Ofertas\t[INSTALLDIR]VivuzoriVodizerArizoz.exe\nManual do usuário\t[INSTALLDIR]manual-do-usuario.html')" ] ||
    falha "the package's Start menu entries: $atalhos"
# The program's entry names no working folder: an all-users package would fix it at install time.
pasta_atalho=$(msiinfo export "$msi" Shortcut | awk -F '\t' '
    NR == 1 { for (i = 1; i <= NF; i++) if ($i == "WkDir") c = i }
    NR > 3 && $1 == "AtalhoPrograma" { print (c ? $c : "") }')
[ -z "$pasta_atalho" ] || falha "the program's Start menu entry starts it in $pasta_atalho"
printf '%s\n' "$senha" | wine_br "$programa_win\\escreve-connection-conf.exe" --host "$endereco" \
    --banco loja_demo --usuario leitor --senha-stdin || falha "escreve-connection-conf failed"
[ -f "$pasta/connection.conf" ] || falha "connection.conf was not written beside the program"

# The offer file: products the store has (one through an alternative barcode) and one it lacks,
# in a folder with accents under a user folder with accents, as a Brazilian store's PC has them.
oferta_win='C:\users\João\Promoções de Março\ofertas de março.csv'
oferta=$WINEPREFIX/drive_c/users/João/Promoções\ de\ Março/ofertas\ de\ março.csv
mkdir -p "$(dirname "$oferta")"
cp demo/ofertas-alguns-faltando.csv "$oferta"
# The user's Documents, where the program started from its own folder writes its report.
perfil=$(wine_br cmd /c 'echo %USERPROFILE%' </dev/null | tr -d '\r')
documentos=$(wine_br winepath -u "$perfil\\Documents" </dev/null)
documentos=${documentos%/}
[ -d "$documentos" ] || falha "no Documents folder for the user ($perfil)"
rm -f "$documentos/Relatorio.txt"

# The program started from its own folder, as a shortcut that names no working folder may start
# it; it then works in the user's Documents, where its report goes. No window manager runs:
# each window is given the keyboard before it is typed into, as a click on it would.
(cd "$pasta" && wine_br "$programa_win\\VivuzoriVodizerArizoz.exe" </dev/null \
    >"$saida/programa.log" 2>&1) &
janela=$(espera_janela 'Caderno de Ofertas$')
tecla windowfocus --sync "$janela"
sleep 1
import -display "$DISPLAY" -window "$janela" "$saida/janela-aberta.png"

# "..." beside the file name: the real file dialog, the file's name typed into it.
janelas >"$saida/janelas-antes.txt"
tecla mousemove --window "$janela" 373 21 click 1
dialogo=$(espera_nova_janela "$saida/janelas-antes.txt")
sleep 1
import -display "$DISPLAY" -window root "$saida/dialogo-arquivo.png"
tecla windowfocus --sync "$dialogo" type --delay 20 "$oferta_win"
tecla key Return
espera_sumir "$dialogo"
# The booklet's name, the dates (day, month, year, as a Brazilian user's short date has them)
# typed straight in after Enter, over the date each field holds, the first as digits alone and
# the second with its slashes, Enter from field to field up to the button, and Enter on it.
tecla windowfocus --sync "$janela"
tecla type --delay 30 'Ofertas de Março'
tecla key Return
tecla type --delay 30 '10122026'
tecla key Return
tecla type --delay 30 '24/12/2026'
tecla key Return Return
sleep 0.5
import -display "$DISPLAY" -window "$janela" "$saida/janela-preenchida.png"
tecla key Return
# The viewer comes up on the report, and the completion message over the window.
visualizador=$(espera_janela 'Relatorio')
caixa=$(espera_janela '^Aten')
sleep 1
import -display "$DISPLAY" -window root "$saida/concluida.png"
import -display "$DISPLAY" -window "$visualizador" "$saida/visualizador.png"
# A click on its text makes the box the active window again (the viewer took that when it
# came up), then Enter presses its OK.
tecla windowraise "$caixa" mousemove --window "$caixa" 60 15 click 1
sleep 0.5
tecla key Return
espera_fechar '^Aten'
[ -f "$documentos/Relatorio.txt" ] || falha "no Relatorio.txt in the user's Documents ($documentos)"
[ ! -e "$pasta/Relatorio.txt" ] || falha "Relatorio.txt was written in the program's folder"

# The same import by this Linux build, on the copy of the store: the same statements must
# reach the server, the registration time aside, and the same rows must result.
printf '%s\n' "$senha" | "$linux/app/escreve-connection-conf" --pasta "$saida/linux" \
    --host "$endereco" --banco loja_linux --usuario leitor --senha-stdin
(cd "$saida/linux" && LC_ALL=C.UTF-8 "$linux/app/importa-caderno" "$oferta" --nome 'Ofertas de Março' \
    --inicio 2026-12-10 --fim 2026-12-24 --conf "$saida/linux/connection.conf" \
    >"$saida/linux/saida.txt" 2>&1) || falha "importa-caderno failed: $(cat "$saida/linux/saida.txt")"
registro='s/"[0-9]\{8\} [0-9][0-9].[0-9][0-9].[0-9][0-9]"/"{registro}"/'
for n in 1 2; do
    "$linux/tests/sessoes_do_log" "$saida/general.log" "$n" | sed "$registro" >"$saida/sessao-$n.sql"
done
[ -s "$saida/sessao-1.sql" ] || falha "the Windows program's import sent nothing"
cmp -s "$saida/sessao-1.sql" "$saida/sessao-2.sql" || {
    diff "$saida/sessao-1.sql" "$saida/sessao-2.sql" >&2 || true
    falha "the Windows program sent other statements than the Linux build"
}
tabelas() {
    sql_loja "$1" -N -e "SELECT cadofertas_id, descricao, data1, data2, lojas_leram FROM cadofertas;
        SELECT * FROM prodcadofertas ORDER BY cadofertas_id, produto_id;
        SELECT produto_id, dtiniciopromocao, valid_pro, preco_pro, lojas_leram FROM produto
        ORDER BY produto_id;"
}
tabelas loja_demo >"$saida/tabelas-windows.txt"
tabelas loja_linux >"$saida/tabelas-linux.txt"
cmp -s "$saida/tabelas-windows.txt" "$saida/tabelas-linux.txt" || {
    diff "$saida/tabelas-windows.txt" "$saida/tabelas-linux.txt" >&2 || true
    falha "the store's tables differ from the Linux build's import"
}
# "Ofertas de Março" in Windows-1252, as typed on the Brazilian keyboard.
[ "$(sql_loja loja_demo -N -e 'SELECT HEX(descricao) FROM cadofertas')" = \
    4F666572746173206465204D6172E76F ] || falha "the typed booklet name did not reach cadofertas"
# The report lists the same products; its heading holds the date and time it was made.
diff <(grep -av '[0-9][0-9]:[0-9][0-9]' "$documentos/Relatorio.txt") \
    <(grep -av '[0-9][0-9]:[0-9][0-9]' "$saida/linux/Relatorio.txt") >&2 ||
    falha "the Windows program's Relatorio.txt differs from the Linux build's"

# The user closes the viewer (Ctrl+W) and the window ("&Cancelar", then Enter on the question's
# default "Sim"), as a program in use cannot be removed.
tecla windowraise "$visualizador" windowfocus --sync "$visualizador" mousemove --window "$visualizador" 300 300 click 1
sleep 0.5
tecla key ctrl+w
espera_sumir "$visualizador"
tecla windowraise "$janela" mousemove --window "$janela" 235 243 click 1
pergunta=$(espera_janela '^Aten')
tecla windowraise "$pergunta" mousemove --window "$pergunta" 60 15 click 1
tecla key Return
espera_sumir "$janela"

# Uninstalled: the program goes, the settings the chain's IT wrote stay.
wine_br msiexec /x "$(caminho_windows "$msi")" /qn </dev/null || falha "msiexec /x failed"
for f in VivuzoriVodizerArizoz.exe visualizador.exe Qt6Core.dll platforms/qwindows.dll; do
    [ ! -e "$pasta/$f" ] || falha "uninstalling left $f"
done
[ -f "$pasta/connection.conf" ] || falha "uninstalling removed connection.conf"
echo "instalador: installed, imported ($(wc -l <"$saida/sessao-1.sql") statements, as the Linux build's), shown and removed; screenshots in $saida" >&2
