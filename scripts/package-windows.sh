#!/usr/bin/env bash
# The Windows installer: lays the programs out in one folder as a Windows user receives them
# (the programs, Qt's DLLs and plugins, the mingw runtime, libmariadb.dll, Qt's Brazilian
# Portuguese translations, the clerk's and the IT's guides) and packs that folder into
# FOLDER/cadofertas-VERSION-x64.msi with Debian's wixl.
# Usage: scripts/package-windows.sh [FOLDER, default build-windows], after
# scripts/test-windows.sh has built FOLDER with Qt. Prints the .msi's path.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build-windows}" && pwd)
fontes=$PWD

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
versao=$(cache CMAKE_PROJECT_VERSION)
qt=$(cd "$(cache Qt6_DIR)/../../.." && pwd)
dll_cliente=$(cache CADOFERTAS_WINDOWS_CLIENT_DLL)
[ -f "$qt/bin/Qt6Widgets.dll" ] || { echo "no Qt for Windows in $build (Qt6_DIR)" >&2; exit 1; }
[ -f "$dll_cliente" ] || { echo "no libmariadb.dll in $build (CADOFERTAS_WINDOWS_CLIENT_DLL)" >&2; exit 1; }

pacote=$build/pacote
pasta=$pacote/programa
rm -rf "$pacote" && mkdir -p "$pasta"
cmake --install "$build" --prefix "$pasta" >&2
# Beside each program: Qt, the platform plugin and the native style, the C++ runtime Qt's DLLs
# import, and the MySQL client library loaded at the first connect.
for m in Core Gui Widgets PrintSupport; do cp "$qt/bin/Qt6$m.dll" "$pasta/"; done
mkdir -p "$pasta/platforms" "$pasta/styles" "$pasta/translations"
cp "$qt/plugins/platforms/qwindows.dll" "$pasta/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$pasta/styles/"
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
cp "$runtime/libstdc++-6.dll" "$runtime/libgcc_s_seh-1.dll" "$pasta/"
cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)" "$pasta/"
cp "$dll_cliente" "$pasta/libmariadb.dll"
# Qt's own buttons and dialogs in Brazilian Portuguese (Debian's .qm files are the same on
# every system).
cp /usr/share/qt6/translations/qtbase_pt_BR.qm "$pasta/translations/"
# Qt finds its plugins and translations relative to the program's folder.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$pasta/qt.conf"
# The two guides, each one HTML file with its pictures inside: the clerk's, which the Start menu
# entry opens, and the IT's beside it, with no entry.
bash "$fontes/scripts/manual-html.sh" "$pasta/manual-do-usuario.html" manual.md >&2
bash "$fontes/scripts/manual-html.sh" "$pasta/manual-da-ti.html" ti.md >&2
find "$pasta" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip {} +

# The folder's files in the installer's terms: one component each, its path relative to the
# package folder (wixl wants relative sources).
componentes=""
conteudo=""
declare -A pastas=()
n=0
while IFS= read -r -d '' caminho; do
    relativo=${caminho#"$pacote"/}
    n=$((n + 1))
    id=Arquivo$n
    linha="<Component Id=\"C$id\" Guid=\"*\" Win64=\"yes\"><File Id=\"$id\" Source=\"$relativo\" KeyPath=\"yes\"/></Component>"
    sub=$(dirname "${relativo#programa/}")
    if [ "$sub" = . ]; then
        conteudo+="          $linha"$'\n'
    else
        pastas[$sub]+="            $linha"$'\n'
    fi
    componentes+="      <ComponentRef Id=\"C$id\"/>"$'\n'
done < <(find "$pasta" -type f -print0 | sort -z)
for sub in "${!pastas[@]}"; do
    conteudo+="          <Directory Id=\"Pasta_$sub\" Name=\"$sub\">"$'\n'"${pastas[$sub]}          </Directory>"$'\n'
done
atalhos=""
if [ -f "$pasta/manual-do-usuario.html" ]; then
    atalhos="            <Shortcut Id=\"AtalhoManual\" Name=\"Manual do usuário\" Target=\"[INSTALLDIR]manual-do-usuario.html\"/>"
fi

wxs=$pacote/cadofertas.wxs
VERSION=$versao PASTA=$conteudo COMPONENTES=$componentes ATALHOS=$atalhos python3 - \
    "$fontes/packaging/windows/cadofertas.wxs.in" "$wxs" <<'EOF'
import os, sys
texto = open(sys.argv[1], encoding="utf-8").read()
for chave in ("VERSION", "PASTA", "COMPONENTES", "ATALHOS"):
    texto = texto.replace("@" + chave + "@", os.environ[chave].rstrip("\n"))
open(sys.argv[2], "w", encoding="utf-8").write(texto)
EOF
msi=$build/cadofertas-$versao-x64.msi
(cd "$pacote" && wixl -a x64 -o "$msi" cadofertas.wxs >&2)
echo "$msi"
