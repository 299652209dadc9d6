#!/usr/bin/env bash
# One of the two guides of docs/manual/ as a standalone HTML file, pictures and style sheet
# inside it, so that it opens from any folder:
#
#   bash scripts/manual-html.sh SAIDA.html [manual.md | ti.md]
#
# manual.md (the default) is the clerk's guide, the one the menu entries open; ti.md is the
# chain's IT's, installed beside it. Needs pandoc (Debian's). The build runs it (target
# manual_html: build/docs/manual.html and build/docs/manual-ti.html); the Debian package and the
# Windows installer install the results.
set -euo pipefail
saida=$(realpath -m "${1:?uso: manual-html.sh SAIDA.html [manual.md | ti.md]}")
guia=${2:-manual.md}
cd "$(dirname "$0")/../docs/manual"
[ -f "$guia" ] || { echo "manual-html.sh: $guia não existe em docs/manual" >&2; exit 1; }
mkdir -p "$(dirname "$saida")"
# Straight quotes stay straight: the guide quotes the program's texts exactly.
pandoc -f markdown-smart -t html5 --standalone --self-contained --toc --toc-depth=2 \
    --metadata toc-title="Conteúdo" --css estilo.css --resource-path . \
    -o "$saida" "$guia"
