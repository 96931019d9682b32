#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"
export QT_QPA_PLATFORM=offscreen

echo "== Normal build"
build build -DCONVDIFF_TESTS=ON -DCONVDIFF_GUI=ON -DCONVDIFF_SANITIZE=OFF
(cd build && ctest --output-on-failure --no-tests=error -j "$(nproc)")

echo "== Sanitizer build"
build build-asan -DCONVDIFF_TESTS=ON -DCONVDIFF_GUI=ON -DCONVDIFF_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build-asan && ctest --output-on-failure --no-tests=error -j "$(nproc)")

echo "== Fuzz smoke run"
ensure_fuzzer
build_fuzzers
for target in "${FUZZ_TARGETS[@]}"; do
    fuzz "$target" 20
done
echo "Fuzz targets: ${#FUZZ_TARGETS[@]} passed, 0 failed"
