#!/usr/bin/env bash
# Regenerates docs/window.png, the README's picture of the window after a
# calculation with the default inputs, from the real program.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"
build build-app -DCONVDIFF_TESTS=OFF -DCONVDIFF_GUI=ON >/dev/null
mkdir -p docs
workdir=$(mktemp -d)
(cd "$workdir" && QT_QPA_PLATFORM=offscreen "$OLDPWD/build-app/screenshot" "$OLDPWD/docs/window.png" "${1:-central}") 2>/dev/null
rm -rf "$workdir"
echo "wrote docs/window.png"
