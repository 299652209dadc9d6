#!/usr/bin/env bash
# Times the real visualizador, started as the import starts it, from the moment it is
# started to its window mapped on an X server (Xvfb), on a report of 10,000 lines.
#   bash bench/viewer-start.sh [build folder] [runs]
# Needs xvfb-run and xdotool. An empty report is timed too, for what Qt's own start costs.
set -euo pipefail
build=${1:-build}
runs=${2:-10}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$@"
fi
work=$(mktemp -d /tmp/viewer-start-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bench/viewer_bench" --relatorio "$work/Relatorio.txt" 10000
echo "report: $(wc -l <"$work/Relatorio.txt") lines, $(stat -c %s "$work/Relatorio.txt") bytes"
: >"$work/Vazio.txt"
viewer=$(realpath "$build/app/visualizador")
cd "$work"
for report in Relatorio.txt Vazio.txt; do
  echo "$report:"
  for i in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    QT_LOGGING_RULES="*.debug=false" "$viewer" "$report" 132 2>/dev/null &
    pid=$!
    # Polled at 5 ms (xdotool's own --sync waits half a second between tries).
    until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "  run $i: $(((end - start) / 1000000)) ms"
  done
done
