#!/usr/bin/env bash
# Starts the editor headless, waits for its main window, saves a PNG of it and closes it.
# Usage: scripts/screenshot.sh [output.png]   (default: quorvel.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-quorvel.png}")
bash scripts/setup.sh
. scripts/wine-env.sh
echo "running the $QUORVEL_ARCH-bit build: $QUORVEL_ARCH_REASON" >&2
build
ensure_prefix
start_xvfb
trap 'stop_wineserver; stop_xvfb' EXIT
jp "$WINE" "$QUORVEL_BUILD/Quorvel.exe" </dev/null >/dev/null 2>&1 &
window=
for i in $(seq 1 200); do
  window=$(xdotool search --name '^Quorvel 1\.02$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 0.5  # let the first paint finish
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out"
echo "$out"
