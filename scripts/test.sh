#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite; then the package on
# a clean Debian 12 root (scripts/check-package.sh, about 70 s with its cache, 2 minutes
# without), the same suite built with the sanitizers (scripts/sanitize.sh) and a short run of
# every fuzz target (scripts/fuzz.sh). Arguments go to both ctest runs. CADOFERTAS_QUICK=1
# runs the plain suite alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
ctest --test-dir build --output-on-failure "$@"
# The user's guide's pictures taken again from the program into build/imagens-manual: every
# window must appear, no picture may be blank, and names and sizes must match docs/manual/imagens.
bash scripts/screenshots.sh
if [ "${CADOFERTAS_QUICK:-0}" != 1 ]; then
    if [ "$(id -u)" = 0 ]; then bash scripts/check-package.sh; else sudo bash scripts/check-package.sh; fi
    bash scripts/sanitize.sh "$@"
    bash scripts/fuzz.sh
fi
