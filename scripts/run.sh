#!/usr/bin/env bash
# Sets up the machine, builds, and starts the editor under Wine (under Xvfb without a display):
# the 32-bit build where this machine runs 32-bit programs, else the 64-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh
build_and_ready
trap 'stop_xvfb' EXIT
[ -n "${XVFB_PID:-}" ] && echo "No display: the editor runs on the virtual display $DISPLAY."
jp "$WINE" "$QUORVEL_BUILD/Quorvel.exe"
