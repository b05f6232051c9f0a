#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test headless under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh
build
# The i686 editor for 32-bit Windows must keep compiling too.
QUORVEL_BUILD="$QUORVEL_BUILD-i686" bash scripts/build-windows.sh >/dev/null
ensure_prefix
start_xvfb
start_wineserver
trap 'stop_wineserver; stop_xvfb' EXIT
status=0
(cd "$QUORVEL_BUILD" && ctest --output-on-failure "$@") || status=$?
exit $status
