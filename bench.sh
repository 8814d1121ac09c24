#!/usr/bin/env bash
# Builds Release and measures a frame against its floors. Prints the medians
# of BM_Frame, BM_BackgroundOnly and BM_MemcpyFloor and the two ratios the
# game aims for (at most 1.5 and 2.5), then the crowd's tick.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need.sh
need g++ cmake make libsdl2-dev libbenchmark-dev
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSKIRMLINGS_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" >/dev/null
reps="${REPS:-10}"

status=0
build-release/bin/bench_frame --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '
        $1 ~ /_median"?$/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); t[$1] = $3; u = $5 }
        END {
            gsub(/"/, "", u)
            for (k in t) printf "%-18s median %10.2f %s\n", k, t[k], u
            printf "BM_Frame / BM_BackgroundOnly      = %.2f (target <= 1.5)\n", t["BM_Frame"] / t["BM_BackgroundOnly"]
            printf "BM_BackgroundOnly / BM_MemcpyFloor = %.2f (target <= 2.5)\n", t["BM_BackgroundOnly"] / t["BM_MemcpyFloor"]
            ok = t["BM_Frame"] <= 1.5 * t["BM_BackgroundOnly"] && t["BM_BackgroundOnly"] <= 2.5 * t["BM_MemcpyFloor"]
            print ok ? "both targets met" : "a target is missed"
            exit !ok
        }' || status=1

build-release/bin/bench_tick --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true
exit "$status"
