# apt for source packages, for the scripts that cross-build a Debian source package and source
# this file: apt_fontes PASTA sets opcoes_apt to a configuration of PASTA/apt's own, with apt's
# own sources as source-package lines (the machine's apt configuration is left as it is), and
# reads the archive's source indexes.
apt_fontes() {
    local apt=$1/apt f
    mkdir -p "$apt/lists/partial" "$apt/sources.list.d" "$apt/cache/archives/partial"
    : >"$apt/sources.list"
    [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -e "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/$(basename "$f")"
    done
    opcoes_apt=(-qq -o Dir::Etc::SourceList="$apt/sources.list"
        -o Dir::Etc::SourceParts="$apt/sources.list.d" -o Dir::State::Lists="$apt/lists"
        -o Dir::Cache="$apt/cache" -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
    apt-get "${opcoes_apt[@]}" update >&2
}
