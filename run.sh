#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"
build build-app -DCONVDIFF_TESTS=OFF -DCONVDIFF_GUI=ON
exec ./build-app/convdiff
