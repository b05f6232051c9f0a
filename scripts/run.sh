#!/usr/bin/env bash
# Sets up the machine, builds, and starts the editor under Wine (under Xvfb without a display).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh
build
ensure_prefix
start_xvfb
trap 'stop_xvfb' EXIT
[ -n "${XVFB_PID:-}" ] && echo "No display: the editor runs on the virtual display $DISPLAY."
jp "$WINE" "$QUORVEL_BUILD/Quorvel.exe"
