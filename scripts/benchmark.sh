#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
. scripts/wine-env.sh
build_and_ready
start_wineserver
trap 'stop_wineserver; stop_xvfb' EXIT
b=$QUORVEL_BUILD/benchmarks
jp "$WINE" "$b/startup_bench.exe" "$QUORVEL_BUILD/Quorvel.exe" "$b/floor_window.exe" "${RUNS:-15}" \
  "$b/handwritten_window.exe" 'C:\windows\system32\notepad.exe'
jp "$WINE" "$b/startup_steps.exe" "${RUNS:-15}"
for bench in metadata_bench artistmap_bench; do
  [ -f "$b/$bench.exe" ] && jp "$WINE" "$b/$bench.exe"
done
jp "$WINE" "$b/trackartists_bench.exe" "$QUORVEL_BUILD/Quorvel.exe" "${RUNS:-7}"
true
