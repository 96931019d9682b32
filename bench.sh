#!/usr/bin/env bash
# Timings: the calculation core and the tridiagonal solver (Google Benchmark,
# with LAPACK's dgtsv beside it), then the start-up time of the window
# under a virtual display.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev liblapack-dev xvfb x11-utils

echo "== Calculation core and solver"
build build-bench -DCONVDIFF_BENCH=ON -DCONVDIFF_GUI=ON -DCONVDIFF_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
./build-bench/bench/core_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

echo "== Start-up: launch to window shown, under Xvfb"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do xwininfo -display "$display" -root >/dev/null 2>&1 && break; sleep 0.1; done
workdir=$(mktemp -d)
for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    (cd "$workdir" && DISPLAY=$display exec "$OLDPWD/build-bench/convdiff") 2>/dev/null &
    app=$!
    deadline=$((start + 10000000000))
    until xwininfo -display "$display" -root -tree 2>/dev/null | grep -q "Veskarn"; do
        if [ "$(date +%s%N)" -gt "$deadline" ]; then
            echo "the window did not appear within 10 s"
            exit 1
        fi
        sleep 0.005
    done
    end=$(date +%s%N)
    echo "run $run: $(( (end - start) / 1000000 )) ms"
    kill $app
    wait $app 2>/dev/null || true
done
rm -rf "$workdir"
