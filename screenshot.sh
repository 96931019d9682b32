#!/usr/bin/env bash
# Regenerates the README's pictures from the real programs: docs/window.png,
# the main window after a calculation with the default inputs, and
# docs/compare.png, the comparison window at u = 2.5 m/s.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"
build build-app -DCONVDIFF_TESTS=OFF -DCONVDIFF_GUI=ON >/dev/null
mkdir -p docs
workdir=$(mktemp -d)
(cd "$workdir" && QT_QPA_PLATFORM=offscreen "$OLDPWD/build-app/screenshot" "$OLDPWD/docs/window.png" "${1:-central}") 2>/dev/null
QT_QPA_PLATFORM=offscreen ./build-app/compare_screenshot docs/compare.png 2.5 5 2>/dev/null
rm -rf "$workdir"
echo "wrote docs/window.png and docs/compare.png"
