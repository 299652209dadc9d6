# Waiting for a program's windows on an X display, for the scripts that drive the real program
# with xdotool and source this file. Each calls the script's own falha MESSAGE when the wait
# runs out (60 s: a program's first start in a new Wine prefix is slow).

# Runs the command every tenth of a second until it succeeds; fails after 60 s.
ate_que() {
    for _ in $(seq 1 600); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The ids of the shown windows, sorted.
janelas() { xdotool search --onlyvisible --name '' 2>/dev/null | sort || true; }

# The id of a shown window whose name matches the pattern $1.
espera_janela() {
    local id=""
    achou() { id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1) && [ -n "$id" ]; }
    ate_que achou "$1" || falha "no window named '$1' appeared"
    echo "$id"
}

# Returns once no shown window's name matches the pattern $1.
espera_fechar() {
    nenhuma() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
    ate_que nenhuma "$1" || falha "the window named '$1' did not close"
}

# The id of a shown window that is not among those listed in the file $1 (what janelas gave
# before a dialog was opened).
espera_nova_janela() {
    local id=""
    nova() { id=$(janelas | comm -13 "$1" - | head -n 1) && [ -n "$id" ]; }
    ate_que nova "$1" || falha "no new window came up"
    echo "$id"
}

# Returns once the window $1 is no longer shown.
espera_sumir() {
    sumiu() { ! janelas | grep -qx "$1"; }
    ate_que sumiu "$1" || falha "window $1 did not go away"
}
