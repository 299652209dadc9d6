# A Windows of a Brazilian store under Wine, for the scripts that source this file: an X server
# of the run's own (inicia_tela, para_tela) and a Wine prefix set up as a store's machine
# (inicia_wine WINE, para_wine), in the WINEPREFIX the caller exported.
tela_pid=""
wine_servidor=""

# Wine names the Windows user's locale after LC_ALL (or LANG), even where the host has no such
# locale installed; the host's own tools keep theirs. Runs $wine as a Brazilian user.
wine_br() { LC_ALL=pt_BR.UTF-8 LANG=pt_BR.UTF-8 "$wine" "$@"; }

# Xvfb on a free display number, which the server picks and writes to us; DISPLAY points at it
# and the keyboard is a Brazilian one, so that accented letters typed into Wine's windows
# arrive as typed.
inicia_tela() {
    local numero
    numero=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numero" >/dev/null 2>&1 &
    tela_pid=$!
    for _ in $(seq 1 100); do
        [ -s "$numero" ] && break
        sleep 0.1
    done
    [ -s "$numero" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$numero")"
    rm -f "$numero"
    setxkbmap -display "$DISPLAY" -layout br
}

para_tela() {
    if [ -n "$tela_pid" ]; then kill "$tela_pid" 2>/dev/null && wait "$tela_pid" 2>/dev/null || true; fi
    tela_pid=""
}

# A new prefix gets Tahoma, as a real Windows has it: Debian's Wine does not put the fonts of
# fonts-wine into it, and Qt would fall back to a host font whose line height hides the text
# of line edits. Then one Wine server for the whole run, with Wine's own services started
# here: started by the first program instead, they would hold its output open and whoever
# waits for that program would wait for them too.
inicia_wine() {
    local wine=$1 fontes=/usr/share/wine/fonts
    wine_servidor="$(dirname "$wine")/wineserver"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_br wineboot -i >/dev/null 2>&1 </dev/null
        "$wine_servidor" -w
    fi
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$fontes/tahoma.ttf" "$fontes/tahomabd.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    "$wine_servidor" -p 2>/dev/null || true
    wine_br wineboot >/dev/null 2>&1 </dev/null
}

para_wine() {
    if [ -n "$wine_servidor" ]; then "$wine_servidor" -k 2>/dev/null || true; fi
    wine_servidor=""
}
