#!/usr/bin/env bash
# Sets up the machine, checks the C++ formatting, builds, and runs every test headless under
# Wine and Xvfb: on the 32-bit build that ships where this machine runs 32-bit programs, else
# on the 64-bit build (see scripts/wine-env.sh; QUORVEL_ARCH=32 or 64 forces either). The runs
# of the built editor and the settings file's tests run a second time under code page 1252.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-format.sh
. scripts/wine-env.sh
echo "testing the $QUORVEL_ARCH-bit build: $QUORVEL_ARCH_REASON"
build
# The other architecture's editor and tests must keep compiling too.
if [ "$QUORVEL_ARCH" = 32 ]; then other=x86_64; else other=i686; fi
build_for "$other" "$QUORVEL_ROOT/build/$other"
ensure_prefix
under_code_page_1252 ensure_prefix
start_xvfb
start_wineserver
under_code_page_1252 start_wineserver
trap 'stop_wineserver; under_code_page_1252 stop_wineserver; stop_xvfb' EXIT
status=0
(cd "$QUORVEL_BUILD" && ctest --output-on-failure "$@") || status=$?
exit $status
