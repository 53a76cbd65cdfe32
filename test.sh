#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in the Release build
# with every warning an error, once in a sanitizer build (address, undefined, leak) with the
# heavy invariant checks on.
# Tests that need a display run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh

jobs="$(nproc)"
run_suite() {
    local dir="$1"; shift
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    # -noreset: the X server would otherwise reset whenever its last client leaves, and drop a
    # test that connects during the reset, which then finds no display and skips.
    xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" ctest --test-dir "$dir" --output-on-failure \
        --no-tests=error -j"$jobs"
}

# Tests are switched on by name: ./run.sh leaves them off in build/.
run_suite build -DCMAKE_BUILD_TYPE=Release -DHK_BUILD_TESTS=ON -DHK_STRICT=ON -DHK_BUILD_BENCH=ON \
    -DHK_FUZZ_SECONDS=5

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
# Mesa's software rasteriser runs worker threads that the leak checker's tracer can trip over at
# exit; one thread renders the same pictures.
export LP_NUM_THREADS=0
# The sanitizer build uses clang, so the fuzz targets run as real libFuzzer binaries.
run_suite build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHK_BUILD_TESTS=ON -DHK_SANITIZE=ON \
    -DHK_VALIDATE=ON -DHK_BUILD_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++ -DHK_FUZZ_SECONDS=20
