# A Windows of a Brazilian store under Wine, for the scripts that source this file: an X server
# of the run's own (inicia_tela, para_tela) and a Wine prefix set up as a store's machine
# (inicia_wine WINE, para_wine), in the WINEPREFIX the caller exported.
tela_pid=""
wine_servidor=""

# Wine names the Windows user's locale after LC_ALL (or LANG), and takes its code pages from the
# host's locale of that name: without pt_BR.UTF-8 installed it would run with an ASCII code page
# (names with accents reach the programs with their high bit cut) and speak English. With it,
# Wine is a Brazilian Windows: code page 1252, its dialogs in Portuguese. The host's own tools
# keep their locale. Runs $wine as a Brazilian user.
wine_br() { LC_ALL=pt_BR.UTF-8 LANG=pt_BR.UTF-8 "$wine" "$@"; }
# Fails unless the host has the Brazilian locale (scripts/install-deps.sh generates it).
confere_locale_br() {
    locale -a 2>/dev/null | grep -qix 'pt_BR\.utf-\?8' || {
        echo "the pt_BR.UTF-8 locale is missing: Wine would not be a Brazilian Windows (bash scripts/install-deps.sh)" >&2
        return 1
    }
}

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
    confere_locale_br
    wine_servidor="$(dirname "$wine")/wineserver"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine_br wineboot -i >/dev/null 2>&1 </dev/null
        "$wine_servidor" -w
    fi
    # Wine links the user's Documents, Desktop and the like to the host user's home: made the
    # prefix's own folders, so that what a program writes there (the report) stays in the prefix.
    local ligacao
    for ligacao in "$WINEPREFIX"/drive_c/users/*/*; do
        if [ -L "$ligacao" ]; then rm "$ligacao" && mkdir "$ligacao"; fi
    done
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$fontes/tahoma.ttf" "$fontes/tahomabd.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    "$wine_servidor" -p 2>/dev/null || true
    wine_br wineboot >/dev/null 2>&1 </dev/null
}

para_wine() {
    if [ -n "$wine_servidor" ]; then "$wine_servidor" -k 2>/dev/null || true; fi
    wine_servidor=""
}
