#!/usr/bin/env bash
# Builds Release and measures a frame. Prints the medians of BM_Frame,
# BM_DrawOnly, BM_BackgroundOnly and BM_MemcpyFloor, measured in one run
# with their repetitions interleaved, and fails only when a whole frame
# costs more than 1.2 x its drawing alone. The times are CPU times, which
# other work on a shared machine disturbs least. Then the crowd's tick.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
need g++ cmake make libsdl2-dev libbenchmark-dev libpng-dev
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" >/dev/null
reps="${REPS:-10}"

status=0
build-release/bin/bench_frame --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '
        $1 ~ /_median"?$/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); t[$1] = $4; u = $5 }
        END {
            gsub(/"/, "", u)
            for (k in t) printf "%-18s median %10.2f %s\n", k, t[k], u
            print "(For reference only: BM_MemcpyFloor, a plain copy of the window'"'"'s bytes, and"
            print " the frame against the background alone; both follow the CPU'"'"'s copy path.)"
            printf "BM_Frame / BM_BackgroundOnly = %.2f (reference)\n", t["BM_Frame"] / t["BM_BackgroundOnly"]
            printf "BM_Frame / BM_DrawOnly = %.2f (target <= 1.2)\n", t["BM_Frame"] / t["BM_DrawOnly"]
            ok = t["BM_Frame"] <= 1.2 * t["BM_DrawOnly"]
            print ok ? "target met" : "target missed"
            exit !ok
        }' || status=1

build-release/bin/bench_tick --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true

# The browser page's first picture and frame rate in each engine, once
# web.sh has built the page and test.sh has installed its driver (WebKit
# wants an X server). Figures only: it fails only when the page stops.
page=build-web/skirmlings.html
if [ -f "$page" ] && [ -d tests/web/node_modules ]; then
    need xvfb xauth chromium firefox-esr webkit2gtk-driver
    xvfb-run --auto-servernum node bench/page_fps.js "$page" || status=1
fi
exit "$status"
