#!/usr/bin/env bash
# Longer fuzzing runs: ./fuzz.sh [SECONDS] [TARGET...]
# By default every target runs for 10 minutes. Crashes are kept in
# build-fuzz/crashes; each one belongs in a regression test.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${FUZZ_TARGETS[@]}")

ensure_packages "${BUILD_PACKAGES[@]}"
ensure_fuzzer
build_fuzzers
for target in "${targets[@]}"; do
    fuzz "$target" "$seconds"
done
