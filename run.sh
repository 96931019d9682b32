#!/usr/bin/env bash
# Installs what is missing, builds, and starts a program:
#   ./run.sh               the main window
#   ./run.sh compare       the window that compares every scheme
#   ./run.sh study ARGS    the scheme study on the command line (--help)
#   ./run.sh transient ARGS  time-dependent runs on the command line (--help)
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

program=convdiff
case "${1:-}" in
    study) program=convdiff-study; shift ;;
    compare) program=convdiff-compare; shift ;;
    transient) program=convdiff-transient; shift ;;
esac
# Build messages go to standard error, so that the study's report can be
# piped or redirected on its own.
ensure_packages "${BUILD_PACKAGES[@]}" >&2
build build-app -DCONVDIFF_TESTS=OFF -DCONVDIFF_GUI=ON >&2
exec "./build-app/$program" "$@"
