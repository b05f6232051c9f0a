# Sourced by the scripts: the private Wine prefix and the Japanese locale (code page 932).
# The editor and its tests run as 64-bit Windows programs under 64-bit Wine: this
# workplace's kernel cannot execute 32-bit Linux programs, which 32-bit Wine needs.
QUORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${QUORVEL_WINEPREFIX:-$QUORVEL_ROOT/.wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export QUORVEL_BUILD=${QUORVEL_BUILD:-$QUORVEL_ROOT/build}
WINE=/usr/lib/wine/wine64

# Runs a command with the Japanese locale only: host tools keep their usual output.
jp() { LC_ALL=ja_JP.UTF-8 "$@"; }

# Creates the prefix once: window manager off (no 2 s wait per hidden window), and the
# Japanese UI faces mapped to the installed IPA fonts of the same metrics.
ensure_prefix() {
  [ -f "$WINEPREFIX/.quorvel-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  jp "$WINE" wineboot -i >/dev/null 2>&1 || true
  local k='HKCU\Software\Wine\Fonts\Replacements'
  jp "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  jp "$WINE" reg add "$k" /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic /f >/dev/null 2>&1
  jp "$WINE" reg add "$k" /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.quorvel-ready"
}

# A persistent wine server for a series of runs; its services must not inherit a pipe.
start_wineserver() {
  wineserver -p 2>/dev/null || true  # already running for this prefix: keep it
  jp "$WINE" wineboot >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# Starts Xvfb on a free display unless one is given; sets DISPLAY and XVFB_PID.
start_xvfb() {
  XVFB_PID=
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2
  return 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  return 0
}

# Configures and builds the 64-bit build that runs here.
build() {
  cmake -S "$QUORVEL_ROOT" -B "$QUORVEL_BUILD" -DCMAKE_TOOLCHAIN_FILE="$QUORVEL_ROOT/cmake/mingw-x86_64.cmake" "$@" >/dev/null
  cmake --build "$QUORVEL_BUILD" -j"$(nproc)" -- --no-print-directory
}
