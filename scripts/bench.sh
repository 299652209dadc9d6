#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all: the offer file (1,000,000 lines), the
# report (100,000 lines), the window's own costs per line, and the import end to end against
# the mariadb command-line client (10,000 and 50,000 lines, on a throwaway server on
# 127.0.0.40 port 3306). Prints the figures and writes them to bench/results/<date-time>.txt,
# with the import's tables also in bench/results/<date-time>-import.md.
#
# Then importa-caderno --lojas: 20 stores of 1,000 lines, each behind a relay of its own
# (127.0.4.2 and up) holding every chunk 5 ms each way, 1, 4, 8 and 16 at once against the sum
# of single imports (about 40 minutes of waiting on the stores' round trips, not on the CPU).
#
# The whole run takes about 50 minutes on two cores. IMPORT_BENCH_ARGS replaces the import's
# arguments, e.g. IMPORT_BENCH_ARGS="--lines 10000 --rounds 3" for a shorter run;
# ROLLOUT_BENCH_ARGS the rollout's (e.g. "--lojas 8 --linhas 200"), and ROLLOUT_BENCH_ARGS=none
# leaves it out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BENCH_BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target offer_bench report_bench window_bench import_bench rollout_bench

mkdir -p bench/results
stamp=$(date +%Y-%m-%d-%H%M)
out=bench/results/$stamp.txt
import_md=bench/results/$stamp-import.md
read -r -a import_args <<<"${IMPORT_BENCH_ARGS:---lines 10000,50000}"
read -r -a rollout_args <<<"${ROLLOUT_BENCH_ARGS:---lojas 20 --linhas 1000}"
rollout_md=bench/results/$stamp-lojas.md
gbench=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)

{
    echo "# Benchmarks, $(date '+%Y-%m-%d %H:%M'), commit $(git rev-parse --short HEAD 2>/dev/null || echo '?')"
    echo "# $(nproc) CPUs: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "# $(g++ --version | head -1); $(mariadbd --version)"
    echo
    echo "## Offer file: load and parse 1,000,000 lines"
    "$build/bench/offer_bench" "${gbench[@]}"
    echo
    echo "## Report: build, paginate and save 100,000 lines"
    "$build/bench/report_bench" "${gbench[@]}"
    echo
    echo "## Window: per-line costs on the offscreen platform"
    "$build/bench/window_bench" "${gbench[@]}"
    echo
    echo "## Import end to end against the mariadb command-line client"
    "$build/bench/import_bench" "${import_args[@]}" --markdown "$import_md"
    if [ "${rollout_args[*]}" != none ]; then
        echo
        echo "## importa-caderno --lojas: many stores, each behind a relay of its own"
        "$build/bench/rollout_bench" "${rollout_args[@]}" --markdown "$rollout_md"
    fi
} 2>&1 | grep --line-buffered -v -e 'XDG_RUNTIME_DIR' -e 'max_open_files' | tee "$out"

echo
echo "Figures written to $out, $import_md and $rollout_md"
