#!/usr/bin/env bash
# Builds Quorvel.exe for 32-bit Windows (runs on 32- and 64-bit Windows) into build-i686/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out=${QUORVEL_BUILD:-build-i686}
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" -DQUORVEL_TESTS=OFF >/dev/null
cmake --build "$out" -j"$(nproc)" -- --no-print-directory
echo "$out/Quorvel.exe"
