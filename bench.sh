#!/usr/bin/env bash
# Timings: the calculation core and the tridiagonal solver (Google Benchmark,
# with LAPACK's dgtsv beside it), the scheme study's solves and whole
# process against LAPACK and a minimal program, then the start-up time of
# the windows under a virtual display, and how fast each window answers;
# the time-dependent program against a minimal LAPACK program and plain loops.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev xvfb x11-utils time

echo "== Calculation core and solver"
build build-bench -DCONVDIFF_BENCH=ON -DCONVDIFF_GUI=ON -DCONVDIFF_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
./build-bench/bench/core_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

echo "== Study: each scheme's solve at N = 10^6 beside LAPACK's solve of the same matrix"
./build-bench/bench/study_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>&1 |
    grep -E '^(Benchmark|[A-Za-z]+Solve/.*_median)'

echo "== Study: each bounded scheme's converged solve at N = 10^6 beside one dgtsv solve of the same size"
./build-bench/bench/tvd_bench

echo "== Transient: the matrix stability test at N = 2000, each linear scheme, beside LAPACK's dhseqr on the same dense matrix"
./build-bench/bench/matrix_bench

# median_ms COMMAND...: the median wall time of 7 runs, in milliseconds.
median_ms() {
    local runs=() start end
    for _ in 1 2 3 4 5 6 7; do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        runs+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${runs[@]}" | sort -n | sed -n 4p | awk '{ printf "%.1f", $1 / 1000 }'
}

echo "== Study: whole process at N = 10^6, central, upwind and hybrid, against a minimal LAPACK program"
study_ms=$(median_ms ./build-bench/convdiff-study --N 1000000 --schemes central,upwind,hybrid)
base_ms=$(median_ms ./build-bench/bench/baseline_study 1000000)
echo "convdiff-study: $study_ms ms; baseline (assemble, dgtsv, exact, max error): $base_ms ms"
awk -v a="$study_ms" -v b="$base_ms" 'BEGIN { printf "ratio: %.2f (target: at most 1.5)\n", a / b }'
peak=$(/usr/bin/time -f %M ./build-bench/convdiff-study --N 1000000 2>&1 >/dev/null | tail -n 1)
echo "peak resident size, all six schemes at N = 10^6: $((peak / 1024)) MB (target: under 400 MB)"

echo "== Study: a Robin end and a source at N = 10^6, beside the same run with two fixed ends"
ends_ms=$(median_ms ./build-bench/convdiff-study --N 1000000 --schemes central,upwind,hybrid --right robin:5:0.2 \
    --su 1 --sp -2)
echo "convdiff-study, Robin end and source: $ends_ms ms; two fixed ends, no source: $study_ms ms"
awk -v a="$ends_ms" -v b="$study_ms" 'BEGIN { printf "ratio: %.2f (target: at most 1.1)\n", a / b }'

echo "== Study: the six linear schemes at N = 10^6 on geometric:1.000001 beside the same run on uniform cells"
uniform_ms=$(median_ms ./build-bench/convdiff-study --N 1000000)
stretched_ms=$(median_ms ./build-bench/convdiff-study --N 1000000 --grid geometric:1.000001)
echo "convdiff-study, geometric:1.000001: $stretched_ms ms; uniform: $uniform_ms ms"
awk -v a="$stretched_ms" -v b="$uniform_ms" 'BEGIN { printf "ratio: %.2f (target: at most 1.3)\n", a / b }'

echo "== Transient: N = 10^6, central, upwind and hybrid, no files, against a minimal LAPACK program"
transient=(./build-bench/convdiff-transient --N 1000000 --schemes central,upwind,hybrid)
implicit_ms=$(median_ms "${transient[@]}")
base_ms=$(median_ms ./build-bench/bench/baseline_transient implicit 1000000 100 0.1)
echo "100 implicit steps: convdiff-transient $implicit_ms ms; baseline (dgttrf once, dgttrs a step): $base_ms ms"
awk -v a="$implicit_ms" -v b="$base_ms" 'BEGIN { printf "ratio: %.2f (target: at most 1.5)\n", a / b }'
# 1000 stable explicit steps (d = 0.4); a step start has no steady state
# to measure the distance to, so both do the same work a step.
explicit_ms=$(median_ms "${transient[@]}" --time explicit --dt 4e-12 --t-end 4e-9 --initial step:0.5)
base_ms=$(median_ms ./build-bench/bench/baseline_transient explicit 1000000 1000 4e-12)
echo "1000 explicit steps: convdiff-transient $explicit_ms ms; baseline (the plain three-point loop): $base_ms ms"
awk -v a="$explicit_ms" -v b="$base_ms" 'BEGIN { printf "ratio: %.2f (target: at most 1.5)\n", a / b }'
peak=$(/usr/bin/time -f %M "${transient[@]}" --frames 100 2>&1 >/dev/null | tail -n 1)
peak_long=$(/usr/bin/time -f %M "${transient[@]}" --frames 100 --t-end 40 2>&1 >/dev/null | tail -n 1)
echo "peak resident size: $((peak / 1024)) MB for 100 steps, $((peak_long / 1024)) MB for 400 (memory O(N), not O(N n))"

echo "== Transient: the explicit methods made for the limiters, N = 10^6, 1000 steps, three limiters, no files"
# u = 1, no diffusion, c = 0.4: dt = 4e-7, t_end = 4e-4 in one frame is
# exactly 1000 steps; the pulse gives every face a limited correction.
limited=(./build-bench/convdiff-transient --N 1000000 --schemes minmod,vanleer,superbee --u 1 --gamma 0 --phiA 0
         --dt 4e-7 --t-end 4e-4 --frames 1 --initial pulse:0.5:0.2)
for method in lw ssprk3; do
    method_ms=$(median_ms "${limited[@]}" --time "$method")
    base_ms=$(median_ms ./build-bench/bench/baseline_limited "$method" 1000000 1000)
    echo "1000 $method steps: convdiff-transient $method_ms ms; baseline (a plain limited-flux loop): $base_ms ms"
    awk -v a="$method_ms" -v b="$base_ms" 'BEGIN { printf "ratio: %.2f (target: at most 1.5)\n", a / b }'
done

echo "== Start-up: launch to window shown (its first chart drawn), under Xvfb"
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do xwininfo -display "$display" -root >/dev/null 2>&1 && break; sleep 0.1; done
workdir=$(mktemp -d)

# startup PROGRAM TITLE: five launches, each until a window of that title is
# on the screen.
startup() {
    local program=$1 title=$2 run start end app deadline
    for run in 1 2 3 4 5; do
        start=$(date +%s%N)
        (cd "$workdir" && DISPLAY=$display XDG_CONFIG_HOME=$workdir exec "$OLDPWD/build-bench/$program") 2>/dev/null &
        app=$!
        deadline=$((start + 10000000000))
        until xwininfo -display "$display" -root -tree 2>/dev/null | grep -q "$title"; do
            if [ "$(date +%s%N)" -gt "$deadline" ]; then
                echo "the window did not appear within 10 s"
                exit 1
            fi
            sleep 0.005
        done
        end=$(date +%s%N)
        echo "$program run $run: $(( (end - start) / 1000000 )) ms"
        kill $app
        wait $app 2>/dev/null || true
    done
}
startup convdiff "Veskarn"
startup convdiff-compare "compare schemes"
echo "(target for convdiff-compare: under 500 ms)"
rm -rf "$workdir"

echo "== Comparison window: from a change of input to the charts and the table repainted, six and fifteen schemes"
DISPLAY=$display ./build-bench/bench/compare_bench 2>/dev/null

echo "== Comparison window, Time tab: six linear schemes, implicit steps"
DISPLAY=$display ./build-bench/bench/time_bench 2>/dev/null

echo "== Main window: from a click of Calculate until the window answers again, under Xvfb"
DISPLAY=$display ./build-bench/bench/window_bench 2>/dev/null
