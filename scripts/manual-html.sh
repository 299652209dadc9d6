#!/usr/bin/env bash
# The user's guide (docs/manual/*.md and its pictures) as one standalone HTML file, pictures and
# style sheet inside it, so that it opens from any folder:
#
#   bash scripts/manual-html.sh SAIDA.html
#
# Needs pandoc (Debian's). The build runs it (target manual_html, build/docs/manual.html); the
# Debian package installs the result.
set -euo pipefail
saida=$(realpath -m "${1:?uso: manual-html.sh SAIDA.html}")
cd "$(dirname "$0")/../docs/manual"
mkdir -p "$(dirname "$saida")"
# Straight quotes stay straight: the guide quotes the program's texts exactly.
pandoc -f markdown-smart -t html5 --standalone --self-contained --toc --toc-depth=2 \
    --metadata toc-title="Conteúdo" --css estilo.css --resource-path . \
    -o "$saida" manual.md ti.md
