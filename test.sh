#!/usr/bin/env bash
# Builds the game and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole suite through ctest. A plain
# Release build beside it serves the memcheck run and the benchmarks; the
# browser page is built too and played in Chromium, Firefox and WebKit, the
# Windows zip is tested under wine, and the Linux downloads are played as
# players get them: release.sh builds all of these.
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
need g++ cmake make libsdl2-dev googletest libgtest-dev libgmock-dev libbenchmark-dev libpng-dev \
    xvfb xauth xdotool x11-apps imagemagick valgrind wine wine64 chromium nodejs icoutils diffoscope
command -v npm >/dev/null || need npm
jobs="$(nproc)"
# The browser page plays in Firefox and in WebKit too.
need firefox-esr webkit2gtk-driver

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF
cmake --build build-release -j"$jobs"

# Every download, gathered in dist/: the Windows zip, the browser page and
# the two Linux downloads.
./release.sh
# Built again elsewhere, they must come out the same, byte for byte.
tests/reproducible.sh
page="$PWD/dist/skirmlings.html"
# The page's test driver, as pinned by its lock file; reinstalled only when
# the lock file changed.
if ! cmp -s tests/web/package-lock.json tests/web/node_modules/.installed-lock; then
    (cd tests/web && npm ci --no-audit --no-fund &&
     cp package-lock.json node_modules/.installed-lock)
fi

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DSKIRMLINGS_SANITIZE=ON \
    -DSKIRMLINGS_BENCH=OFF -DSKIRMLINGS_PLAIN_BUILD="$PWD/build-release" \
    -DSKIRMLINGS_WINDOWS_ZIP="$PWD/dist/skirmlings-windows.zip" -DSKIRMLINGS_WEB_PAGE="$page" \
    -DSKIRMLINGS_DEB="$(echo "$PWD"/dist/skirmlings_*_amd64.deb)" \
    -DSKIRMLINGS_TARBALL="$PWD/dist/skirmlings-linux-x86_64.tar.gz"
cmake --build build-test -j"$jobs"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-test -j"$jobs" --output-on-failure "$@"
