#!/usr/bin/env bash
# The pictures of the user's guide (docs/manual/), taken from the real program and viewer.
#
#   bash scripts/screenshots.sh [--atualizar] [PASTA]
#
# Starts the demo store on a throwaway MariaDB (DEMO_ADDRESS, 127.0.0.70 if unset), copies the
# program and the viewer of the build folder (BUILD, build/ if unset) into a scratch folder with
# a connection.conf for that store, and runs them on an X server of their own (Xvfb, 1024x768,
# 96 dpi) with the clock set to 2 March 2026 09:30 (faketime), as a store's clerk would: the user
# maria, in /home/maria/Documentos among booklets named as a store names them (a home folder of
# the scratch folder's, mounted over /home for the program alone by unshare: as root, or in a
# user namespace of its own otherwise). xdotool drives them through the
# steps the guide shows, as a person would with the mouse and the keyboard, and ImageMagick's
# `import` grabs each window into PASTA (build/imagens-manual/ if unset; --atualizar writes
# docs/manual/imagens/, the committed pictures). It fails when a window does not appear or a
# picture is blank, and then compares the pictures with the committed ones: the same names, the
# same sizes and the same pixels (the running import's gauge and the file dialog's cursor may
# differ a little), or it fails.
#
# Everything it makes lies in a folder of its own (mktemp -d), removed at the end, so that runs at
# the same time never share their files.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$(pwd)
comitadas=$raiz/docs/manual/imagens
saida=$raiz/${BUILD:-build}/imagens-manual
if [ "${1:-}" = --atualizar ]; then
    saida=$comitadas
    shift
fi
[ $# -gt 0 ] && saida=$(realpath -m "$1")
build=$(realpath "${BUILD:-build}")
endereco=${DEMO_ADDRESS:-127.0.0.70}
senha=demo-senha

for comando in Xvfb xdotool import faketime unshare; do
    command -v $comando >/dev/null || {
        echo "screenshots.sh: falta $comando (bash scripts/install-deps.sh)" >&2
        exit 1
    }
done
for programa in VivuzoriVodizerArizoz visualizador escreve-connection-conf; do
    [ -x "$build/app/$programa" ] || {
        echo "screenshots.sh: falta $build/app/$programa (cmake --build $build)" >&2
        exit 1
    }
done

trabalho=$(mktemp -d /tmp/cadofertas-fotos-XXXXXX)
xvfb=""
programa=""
source scripts/loja-demo.sh
limpa() {
    set +e
    [ -n "$programa" ] && kill "$programa" 2>/dev/null
    for pid in $(pgrep -f "^$trabalho/app/" || true); do kill "$pid" 2>/dev/null || true; done
    para_loja_demo
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$trabalho"
}
trap limpa EXIT
# On a failure, the screen at that moment and the program's output are kept in /tmp.
falha() {
    echo "screenshots.sh: $*" >&2
    local restos
    restos=$(mktemp -d /tmp/cadofertas-fotos-falha-XXXXXX)
    cp "$trabalho"/*.log "$restos/" 2>/dev/null || true
    [ -n "${DISPLAY:-}" ] && import -window root "$restos/tela.png" 2>/dev/null
    echo "screenshots.sh: a tela e os registros: $restos" >&2
    exit 1
}

inicia_loja_demo "$trabalho/loja" "$endereco" "$senha"

# The programs in a folder of their own, with connection.conf beside them; the report is written
# in the folder they start from.
mkdir -p "$trabalho/app" "$saida"
cp "$build/app/VivuzoriVodizerArizoz" "$build/app/visualizador" "$trabalho/app/"
printf '%s\n' "$senha" | "$build/app/escreve-connection-conf" --pasta "$trabalho/app" \
    --host "$endereco" --banco loja_demo --usuario leitor --nome 'Loja Demo' --senha-stdin

# The clerk's home folder: the program sees $casa as /home, so its files as /home/maria/...
casa=$trabalho/casa
ofertas=$casa/maria/Documentos
mkdir -p "$ofertas"
# The booklets, as Excel saves them (Windows-1252, CR LF, a title in D1 so that every line ends
# with ";"): products the demo store has, one through an alternative barcode, one deleted, one
# inactive, two it never had.
printf '%s\r\n' 'BARRAS;DESCRICAO;PRECO;FIM' '7891000100103;ARROZ TIPO 1 5 KG;21,90;' \
    '7891000200209;FEIJAO CARIOCA 1 KG;7,49;' '7891000300312;OLEO DE SOJA 900 ML;6,99;' \
    $'7891000400401;A\xC7\xDACAR REFINADO 1 KG;3,98;' '7891000500507;CAFE TORRADO 500 G;15,90;' \
    '7891000700703;LEITE INTEGRAL 1 L;4,99;' '7891000800809;MACARRAO ESPAGUETE 500 G;3,99;' \
    '7896543210987;BISCOITO RECHEADO 140 G;2,49;' '7899876543210;TELEVISOR LED 32 POL;1299,00;' \
    >"$ofertas/ofertas-marco.csv"
# A price with a thousands separator.
printf '%s\r\n' 'BARRAS;DESCRICAO;PRECO;FIM' '7891000100103;ARROZ TIPO 1 5 KG;21,90;' \
    '7899876543210;TELEVISOR LED 32 POL;1.299,00;' '7891000300305;OLEO DE SOJA 900 ML;6,99;' \
    >"$ofertas/ofertas-pascoa.csv"
: >"$ofertas/ofertas-abril.csv"
# A workbook (a zip file, full of NUL bytes) given a .csv name.
printf 'PK\003\004\024\000\006\000\010\000\000\000!\000' >"$ofertas/ofertas-fevereiro.csv"
# Long enough for an import still running when its picture is taken.
{
    head -n 1 "$ofertas/ofertas-marco.csv"
    awk '{ l[NR] = $0 } END { for (i = 0; i < 20000; i++) for (j = 2; j <= NR; j++) print l[j] }' \
        "$ofertas/ofertas-marco.csv"
} >"$ofertas/ofertas-aniversario.csv"
# Saved from three columns only: no ";" after the price.
sed 's/;\r$/\r/; 1s/;FIM\r$/\r/' "$ofertas/ofertas-marco.csv" | head -n 5 >"$ofertas/ofertas-semana.csv"
# Formatted empty rows below the last product, saved as ";;;" (not in the folder: only pictured).
mkdir -p "$trabalho/outros"
{ head -n 5 "$ofertas/ofertas-marco.csv"; printf ';;;\r\n;;;\r\n;;;\r\n'; } \
    >"$trabalho/outros/ofertas-linhas-vazias.csv"
touch -d '2026-03-02 08:15' "$ofertas"/*.csv

# texto ARQUIVO NOME: the file as a text editor shows it (Windows-1252, as the program reads it).
texto() {
    local conteudo arquivo=$ofertas/$1
    [ -f "$arquivo" ] || arquivo=$trabalho/outros/$1
    conteudo=$(iconv -f WINDOWS-1252 -t UTF-8 "$arquivo" | tr -d '\r')
    convert -background white -fill black -font DejaVu-Sans-Mono -pointsize 14 \
        -bordercolor white -border 12 label:"$conteudo" "$saida/$2.png"
    echo "  $2.png"
}

# The X server: a fixed screen size and resolution.
exec 3>"$trabalho/tela"
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset >"$trabalho/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do [ -s "$trabalho/tela" ] && break; sleep 0.1; done
[ -s "$trabalho/tela" ] || falha "o Xvfb não iniciou"
export DISPLAY=:$(head -n 1 "$trabalho/tela")
# Brazilian Portuguese: the program's texts and Qt's own (buttons, file dialog); the regional
# settings are Brazil's.
unset LC_ALL LC_MESSAGES LC_TIME LC_NUMERIC
export LANG=pt_BR.UTF-8 QT_QPA_PLATFORM=xcb
# The clock starts at this moment and runs from there.
export FAKETIME='@2026-03-02 09:30:00' FAKETIME_DONT_FAKE_MONOTONIC=1
libfaketime=$(find /usr/lib -name libfaketime.so.1 -path '*faketime*' | head -n 1)
[ -n "$libfaketime" ] || falha "libfaketime.so.1 não encontrada"

# shellcheck source=tests/support/janelas-x.sh
source "$raiz/tests/support/janelas-x.sh"
# foto ID NOME: the window, once painted, into NOME.png; a blank picture fails.
foto() {
    sleep 0.6
    xdotool windowraise "$1"
    sleep 0.2
    import -window "$1" "$saida/$2.png"
    local desvio
    desvio=$(convert "$saida/$2.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
    awk -v d="$desvio" 'BEGIN { exit !(d > 0.02) }' || falha "$2.png está em branco"
    echo "  $2.png"
}
# Xvfb without a window manager gives the keyboard to the window the script names: atual.
atual=""
foca() {
    atual=$1
    xdotool windowfocus --sync "$atual"
}
tecla() {
    xdotool windowfocus --sync "$atual"
    xdotool key --clearmodifiers "$@"
}
escreve() {
    xdotool windowfocus --sync "$atual"
    xdotool type --delay 20 "$1"
}
# clica ID X Y: a click at X,Y within the window.
clica() {
    [ -n "$1" ] || falha "sem janela para o clique"
    xdotool mousemove --window "$1" "$2" "$3" click 1; }

principal="Caderno de Ofertas$"
atencao="^Aten"
erro="^Vivuzorivodizerarizoz$"

# escolhe ARQUIVO [FOTO]: the file button, then the file's name typed into the file dialog,
# which opens in the folder the program started in (Documentos). Pictured, the dialog is made
# wide enough for every column to be read.
escolhe() {
    clica "$(espera_janela "$principal")" 373 21
    local dialogo
    dialogo=$(espera_janela "^Abrir")
    sleep 0.5
    foca "$dialogo"
    if [ "${2:-}" ]; then
        # Wholly on the screen, or the picture is cut at its edge.
        xdotool windowmove --sync "$dialogo" 40 40 windowsize --sync "$dialogo" 900 440
        sleep 0.5
        # Each column fitted to its contents, as a double click on its header's right edge does
        # (from the right, so that the edges still to click stay where they are).
        for x in 612 502 437; do
            xdotool mousemove --window "$dialogo" "$x" 50 click --repeat 2 --delay 80 1
            sleep 0.3
        done
        foto "$dialogo" "$2"
    fi
    escreve "$1"
    tecla Return
    espera_fechar "^Abrir"
    foca "$(espera_janela "$principal")"
}
# mensagem TITULO FOTO: a message box, pictured (unless FOTO is empty), then answered with Enter
# (its default button).
mensagem() {
    local caixa
    caixa=$(espera_janela "$1")
    [ -z "$2" ] || foto "$caixa" "$2"
    foca "$caixa"
    tecla Return
    espera_fechar "$1"
    [ "${3:-}" = - ] || foca "$(espera_janela "$principal")"
}
# data CAMPO_X TEXTO: a click into a date field, which selects its date, and the new one typed
# over it (its digits only; the separators stay).
data() {
    clica "$(espera_janela "$principal")" "$1" 125
    escreve "$2"
}
# The program as maria starts it: her home folder over /home in a mount namespace of its own,
# started in Documentos (where the report goes, as on a store's Windows). The system's own
# messages (the reason in "Cannot open file") in English whatever locales this machine has, so
# that the pictures do not change with them (the C library ignores LANGUAGE under LC_MESSAGES=C);
# Qt's own texts, the file types among them, in Portuguese (Qt reads LANGUAGE).
separa=(unshare --mount --)
[ "$(id -u)" = 0 ] || separa=(unshare --user --map-root-user --mount --)
inicia_programa() {
    # shellcheck disable=SC2016
    "${separa[@]}" sh -c 'mount --bind "$1" /home && cd /home/maria/Documentos &&
        HOME=/home/maria USER=maria LOGNAME=maria LC_MESSAGES=C LANGUAGE=pt_BR LD_PRELOAD=$2 exec "$3"' - \
        "$casa" "$libfaketime" "$trabalho/app/VivuzoriVodizerArizoz" >>"$trabalho/programa.log" 2>&1 &
    programa=$!
}

echo "Fotos em $saida:"
texto ofertas-marco.csv arquivo-certo
texto ofertas-semana.csv arquivo-sem-ponto-e-virgula
texto ofertas-linhas-vazias.csv arquivo-linhas-vazias
inicia_programa
w=$(espera_janela "$principal")
foca "$w"
foto "$w" janela
tecla alt+i
mensagem "$atencao" msg-selecione-arquivo
escolhe ofertas-marco.csv escolher-arquivo
tecla alt+i
mensagem "$atencao" msg-defina-nome
escreve "Ofertas de Março"
foto "$w" janela-preenchida
# The start after the end.
data 126 10032026
tecla alt+i
mensagem "$atencao" msg-datas
# The message leaves the start date selected: typed over.
escreve 02032026
data 268 08032026
# Enter from field to field, then on the button.
clica "$w" 247 68
tecla Return Return Return Return
sleep 0.3
foto "$w" janela-pronta
tecla Return
# The viewer opens on the report, maximised, as the message box shows.
v=$(espera_janela "Visualizador de relat")
mensagem "$atencao" msg-concluida -
foca "$v"
foto "$v" visualizador
tecla ctrl+f
sleep 0.3
escreve "MACARR"
tecla Return
foto "$v" visualizador-localizar
kill "$(xdotool getwindowpid "$v")"
espera_fechar "Visualizador de relat"
foca "$w"

# An import under way, and Cancel.
escolhe ofertas-aniversario.csv
tecla alt+i
sleep 1.5
foto "$w" importando
tecla alt+c
mensagem "$atencao" msg-deseja-cancelar

# What goes wrong with the file.
escolhe ofertas-abril.csv
tecla alt+i
mensagem "$atencao" msg-sem-dados
escolhe ofertas-fevereiro.csv
mensagem "$erro" msg-nao-e-texto
# A name mistyped in the file dialog.
escolhe ofertas-maco.csv
mensagem "$erro" msg-nao-abre
# A file moved away after it was chosen.
cp "$ofertas/ofertas-marco.csv" "$ofertas/ofertas-domingo.csv"
escolhe ofertas-domingo.csv
rm "$ofertas/ofertas-domingo.csv"
tecla alt+i
mensagem "$atencao" msg-arquivo-nao-existe
# A date that does not exist, then the focus leaves the field.
data 126 31022026
tecla Tab
mensagem "$erro" msg-data-invalida
escreve 02032026
# A price the program cannot read ends the import; it then stays stopped, Importar greyed out:
# Cancel twice, and the program closes.
escolhe ofertas-pascoa.csv
tecla alt+i
mensagem "$erro" msg-preco-invalido
foto "$w" janela-apos-erro
tecla alt+c
mensagem "$atencao" ""
tecla alt+c
mensagem "$atencao" msg-deseja-fechar -
wait "$programa" || true
programa=""

# A file saved without the ";" after the price.
inicia_programa
w=$(espera_janela "$principal")
foca "$w"
escolhe ofertas-semana.csv
escreve "Ofertas da Semana"
tecla alt+i
mensagem "$erro" msg-sem-ponto-e-virgula
kill "$programa" 2>/dev/null || true
wait "$programa" 2>/dev/null || true
programa=""

# A store whose identification is missing: the start-up's message, then the import's.
sql_loja loja_demo -e "DELETE FROM identificacao_servidor"
inicia_programa
mensagem "$erro" msg-identificacao
w=$(espera_janela "$principal")
foca "$w"
tecla alt+i
mensagem "$atencao" msg-sem-loja
kill "$programa" 2>/dev/null || true
wait "$programa" 2>/dev/null || true
programa=""

# Against the committed pictures: the same names and sizes.
if [ "$saida" != "$comitadas" ]; then
    diferencas=0
    for nova in "$saida"/*.png; do
        nome=$(basename "$nova")
        if [ ! -f "$comitadas/$nome" ]; then
            echo "screenshots.sh: $nome não está em docs/manual/imagens" >&2
            diferencas=1
        elif [ "$(identify -format %wx%h "$nova")" != "$(identify -format %wx%h "$comitadas/$nome")" ]; then
            echo "screenshots.sh: $nome mudou de tamanho" >&2
            diferencas=1
        else
            # Pixel for pixel, but for a blinking text caret (a line of 1x14 pixels, shown or
            # not as the picture is taken; two of them at most) and for the gauge of an import
            # under way and the file dialog's cursor, which may differ by a few pixels (up to 2%).
            pixels=$(compare -metric AE "$nova" "$comitadas/$nome" null: 2>&1) || true
            limite=28
            case $nome in importando.png | escolher-arquivo.png)
                limite=$(($(identify -format '%w*%h' "$nova") / 50)) ;;
            esac
            if ! [ "$pixels" -le "$limite" ] 2>/dev/null; then
                echo "screenshots.sh: $nome difere da comitada em $pixels pixels" >&2
                diferencas=1
            fi
        fi
    done
    for velha in "$comitadas"/*.png; do
        [ -f "$saida/$(basename "$velha")" ] || {
            echo "screenshots.sh: $(basename "$velha") não foi refeita" >&2
            diferencas=1
        }
    done
    [ $diferencas = 0 ] || falha "as fotos diferem das de docs/manual/imagens (refaça com --atualizar)"
fi
echo "Pronto."
