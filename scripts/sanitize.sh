#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer, UndefinedBehaviorSanitizer and the leak
# check (build-asan/) and runs it. Any report stops the program that made it and fails its test.
# Arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCADOFERTAS_SANITIZE=ON \
    -DCADOFERTAS_BUILD_BENCH=OFF
cmake --build build-asan -j2
# intercept_strndup=0: with strict string checks, the strndup wrapper reads the whole source
# string, and libxkbcommon-x11 (Qt on an X display) hands it a bounded, unterminated name.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_string_checks=1:intercept_strndup=0:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure "$@"
