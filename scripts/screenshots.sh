#!/usr/bin/env bash
# The pictures of the user's guide (docs/manual/), taken from the real program and viewer.
#
#   bash scripts/screenshots.sh [--atualizar] [PASTA]
#
# Starts the demo store on a throwaway MariaDB (DEMO_ADDRESS, 127.0.0.70 if unset), copies the
# program and the viewer of the build folder (BUILD, build/ if unset) into a scratch folder with
# a connection.conf for that store, and runs them on an X server of their own (Xvfb, 1024x768,
# 96 dpi) with the clock set to 2 March 2026 09:30 (faketime). xdotool drives them through the
# steps the guide shows, as a person would with the mouse and the keyboard, and ImageMagick's
# `import` grabs each window into PASTA (build/imagens-manual/ if unset; --atualizar writes
# docs/manual/imagens/, the committed pictures). It fails when a window does not appear or a
# picture is blank, and then compares the pictures with the committed ones: the same names, the
# same sizes and the same pixels (the running import's gauge and the file dialog's cursor may
# differ a little), or it fails.
#
# Everything it makes lies in a folder of its own (mktemp -d), removed at the end; the offer
# files, which the pictures show in /tmp/cadofertas-fotos/Ofertas, are that folder's, mounted
# over /tmp/cadofertas-fotos in a mount namespace of the run's own (unshare), so that runs at
# the same time never share them.
set -euo pipefail
if [ -z "${CADOFERTAS_FOTOS_NAMESPACE:-}" ]; then
    export CADOFERTAS_FOTOS_NAMESPACE=1
    script=$(realpath "$0")
    if unshare --mount --propagation private true 2>/dev/null; then
        exec unshare --mount --propagation private bash "$script" "$@"
    elif unshare --user --map-root-user --mount --propagation private true 2>/dev/null; then
        exec unshare --user --map-root-user --mount --propagation private bash "$script" "$@"
    fi
    echo "screenshots.sh: sem um espaço de montagem próprio (unshare: rode como root)" >&2
    exit 1
fi
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

for comando in Xvfb xdotool import faketime; do
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

# The offer files the guide's steps choose, in the clerk's folder.
# A folder of a fixed name, which the pictures show: the run's own, mounted over
# /tmp/cadofertas-fotos (the empty folder it is mounted on stays, for the next run).
mkdir -p "$trabalho/fotos" /tmp/cadofertas-fotos
mount --bind "$trabalho/fotos" /tmp/cadofertas-fotos
ofertas=/tmp/cadofertas-fotos/Ofertas
mkdir -p "$ofertas"
cp demo/ofertas-alguns-faltando.csv "$ofertas/ofertas-semana.csv"
cp demo/ofertas-preco-invalido.csv "$ofertas/ofertas-preco-errado.csv"
: >"$ofertas/ofertas-vazio.csv"
# A workbook (a zip file, full of NUL bytes) given a .csv name.
printf 'PK\003\004\024\000\006\000\010\000\000\000!\000' >"$ofertas/ofertas-pasta-de-trabalho.csv"
# Long enough for an import still running when its picture is taken.
{
    head -n 1 demo/ofertas-todos-encontrados.csv
    awk '{ l[NR] = $0 } END { for (i = 0; i < 20000; i++) for (j = 2; j <= NR; j++) print l[j] }' \
        demo/ofertas-alguns-faltando.csv
} >"$ofertas/ofertas-mes.csv"
# Saved from three columns only: no ";" after the price.
sed 's/;\r$/\r/' demo/ofertas-todos-encontrados.csv >"$ofertas/ofertas-sem-ponto-e-virgula.csv"
touch -d '2026-03-02 08:15' "$ofertas"/*.csv

# texto ARQUIVO NOME: the file as a text editor shows it (Windows-1252, as the program reads it).
texto() {
    local conteudo
    conteudo=$(iconv -f WINDOWS-1252 -t UTF-8 "$ofertas/$1" | tr -d '\r')
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

# escolhe ARQUIVO: the file button, then the file's full name typed into the file dialog.
escolhe() {
    clica "$(espera_janela "$principal")" 373 21
    local dialogo
    dialogo=$(espera_janela "^Abrir")
    sleep 0.5
    foca "$dialogo"
    [ "${2:-}" ] && foto "$dialogo" "$2"
    escreve "$ofertas/$1"
    tecla Return
    espera_fechar "^Abrir"
    foca "$(espera_janela "$principal")"
}
# mensagem TITULO FOTO: a message box, pictured, then answered with Enter (its default button).
mensagem() {
    local caixa
    caixa=$(espera_janela "$1")
    foto "$caixa" "$2"
    foca "$caixa"
    tecla Return
    espera_fechar "$1"
    [ "${3:-}" = - ] || foca "$(espera_janela "$principal")"
}
# data CAMPO_X TEXTO: the date typed over a date field (its digits only; the separators stay).
data() {
    clica "$(espera_janela "$principal")" "$1" 125
    tecla Home
    escreve "$2"
}
inicia_programa() {
    (cd "$ofertas" && LD_PRELOAD=$libfaketime exec "$trabalho/app/VivuzoriVodizerArizoz") \
        >>"$trabalho/programa.log" 2>&1 &
    programa=$!
}

echo "Fotos em $saida:"
texto ofertas-semana.csv arquivo-certo
texto ofertas-sem-ponto-e-virgula.csv arquivo-sem-ponto-e-virgula
inicia_programa
w=$(espera_janela "$principal")
foca "$w"
foto "$w" janela
tecla alt+i
mensagem "$atencao" msg-selecione-arquivo
escolhe ofertas-semana.csv escolher-arquivo
tecla alt+i
mensagem "$atencao" msg-defina-nome
escreve "Ofertas da Semana"
foto "$w" janela-preenchida
# The start after the end.
data 126 10032026
tecla alt+i
mensagem "$atencao" msg-datas
data 126 02032026
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
escolhe ofertas-mes.csv
tecla alt+i
sleep 1.5
foto "$w" importando
tecla alt+c
mensagem "$atencao" msg-deseja-cancelar

# What goes wrong with the file.
escolhe ofertas-vazio.csv
tecla alt+i
mensagem "$atencao" msg-sem-dados
escolhe ofertas-pasta-de-trabalho.csv
mensagem "$erro" msg-nao-e-texto
escolhe ofertas-nao-existe.csv
mensagem "$erro" msg-nao-abre
cp "$ofertas/ofertas-semana.csv" "$ofertas/ofertas-apagado.csv"
escolhe ofertas-apagado.csv
rm "$ofertas/ofertas-apagado.csv"
tecla alt+i
mensagem "$atencao" msg-arquivo-nao-existe
# A date that does not exist, then the focus leaves the field.
data 126 31022026
tecla Tab
mensagem "$erro" msg-data-invalida
data 126 02032026
# A price the program cannot read ends the import; it then stays stopped: Cancel twice, and the
# program closes.
escolhe ofertas-preco-errado.csv
tecla alt+i
mensagem "$erro" msg-preco-invalido
tecla alt+c
mensagem "$atencao" msg-cancelar-apos-erro
tecla alt+c
mensagem "$atencao" msg-deseja-fechar -
wait "$programa" || true
programa=""

# A file saved without the ";" after the price.
inicia_programa
w=$(espera_janela "$principal")
foca "$w"
escolhe ofertas-sem-ponto-e-virgula.csv
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
            # Pixel for pixel, but for the gauge of an import under way and the file dialog's
            # blinking cursor, which may differ by a few pixels (up to 2%).
            pixels=$(compare -metric AE "$nova" "$comitadas/$nome" null: 2>&1) || true
            limite=0
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
