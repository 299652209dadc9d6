#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/) and runs each for a bounded time,
# FUZZ_SECONDS (20 by default), from a copy of its seed corpus in fuzz/corpus/. A broken property,
# a crash or a sanitizer report fails the run and leaves the input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCADOFERTAS_FUZZ=ON
cmake --build build-fuzz -j2
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/findings
for target in conf linhas linha_oferta relatorio; do
    work=build-fuzz/corpus-$target
    rm -rf "$work"
    cp -r "fuzz/corpus/$target" "$work"
    echo "fuzz_$target: ${seconds}s"
    if ! build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/$target-" "$work" >"build-fuzz/$target.log" 2>&1; then
        tail -n 60 "build-fuzz/$target.log"
        echo "fuzz_$target failed; the input is in build-fuzz/findings/" >&2
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units)' "build-fuzz/$target.log" || true
done
echo "Every fuzz target ran ${seconds}s without a finding."
