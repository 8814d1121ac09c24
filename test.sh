#!/usr/bin/env bash
# Builds the game and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole suite through ctest. A plain
# Release build beside it serves the memcheck run and the benchmarks, and
# the Windows zip from windows.sh is tested under wine.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
need g++ cmake make libsdl2-dev googletest libgtest-dev libgmock-dev libbenchmark-dev \
    xvfb xauth xdotool x11-apps imagemagick valgrind wine wine64
jobs="$(nproc)"

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF
cmake --build build-release -j"$jobs"

./windows.sh

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DSKIRMLINGS_SANITIZE=ON \
    -DSKIRMLINGS_BENCH=OFF -DSKIRMLINGS_PLAIN_BUILD="$PWD/build-release" \
    -DSKIRMLINGS_WINDOWS_ZIP="$PWD/build-windows/skirmlings-windows.zip"
cmake --build build-test -j"$jobs"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-test -j"$jobs" --output-on-failure "$@"
