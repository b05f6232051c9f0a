# Sourced by the scripts: which Windows build runs here, its Wine, its private prefix and the
# Japanese locale (code page 932).
#
# The program that ships is the 32-bit Quorvel.exe, so it is the one that runs, under 32-bit
# Wine, whenever this machine can run 32-bit Linux programs (32-bit Wine is one). Where the
# kernel refuses them, the 64-bit build runs under 64-bit Wine instead. QUORVEL_ARCH=32 or 64
# forces either; QUORVEL_ARCH_REASON says why the choice fell as it did.
QUORVEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

. "$QUORVEL_ROOT/scripts/probe-32bit.sh"

if [ -z "${QUORVEL_ARCH:-}" ]; then
  if ! can_run_32bit_programs; then
    QUORVEL_ARCH=64
    QUORVEL_ARCH_REASON="this machine's kernel cannot run 32-bit programs, which 32-bit Wine needs"
  elif ! has_32bit_wine; then
    QUORVEL_ARCH=64
    QUORVEL_ARCH_REASON="32-bit Wine (wine32:i386) is not installed here"
  else
    QUORVEL_ARCH=32
    QUORVEL_ARCH_REASON="this machine runs 32-bit programs"
  fi
else
  QUORVEL_ARCH_REASON="QUORVEL_ARCH=$QUORVEL_ARCH was given"
fi
# The locale Wine runs under: Japanese (ANSI code page 932), or another that QUORVEL_LC_ALL
# names, such as C.UTF-8 (code page 1252, as an English Windows has), in a prefix of its own.
export QUORVEL_LC_ALL=${QUORVEL_LC_ALL:-ja_JP.UTF-8}
prefix_suffix=
[ "$QUORVEL_LC_ALL" = ja_JP.UTF-8 ] || prefix_suffix=-${QUORVEL_LC_ALL%%.*}
case "$QUORVEL_ARCH" in
  32)
    QUORVEL_TRIPLE=i686
    WINE=/usr/lib/wine/wine
    export WINEARCH=win32
    export WINEPREFIX=${QUORVEL_WINEPREFIX:-$QUORVEL_ROOT/.wineprefix-win32}$prefix_suffix
    ;;
  64)
    QUORVEL_TRIPLE=x86_64
    WINE=/usr/lib/wine/wine64
    export WINEARCH=win64
    export WINEPREFIX=${QUORVEL_WINEPREFIX:-$QUORVEL_ROOT/.wineprefix}$prefix_suffix
    ;;
  *)
    echo "QUORVEL_ARCH must be 32 or 64, not '$QUORVEL_ARCH'" >&2
    return 1 2>/dev/null || exit 1
    ;;
esac
export QUORVEL_ARCH QUORVEL_ARCH_REASON
export QUORVEL_BUILD=${QUORVEL_BUILD:-$QUORVEL_ROOT/build/$QUORVEL_TRIPLE}

# Runs a command with Wine's locale (Japanese unless QUORVEL_LC_ALL names another) only: host
# tools keep their usual output.
jp() { LC_ALL=$QUORVEL_LC_ALL "$@"; }

# Runs a step of these scripts under code page 1252 (C.UTF-8), in that locale's own prefix.
under_code_page_1252() {
  (
    export QUORVEL_LC_ALL=C.UTF-8
    . "$QUORVEL_ROOT/scripts/wine-env.sh" && "$@"
  )
}

# Creates the prefix once: window manager off (no 2 s wait per hidden window), and the
# Japanese UI faces mapped to the installed IPA fonts of the same metrics.
ensure_prefix() {
  [ -f "$WINEPREFIX/.quorvel-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  jp "$WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
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

# Configures and builds the editor, tests and benchmarks for one Windows architecture
# (i686 or x86_64) into a folder (by default the build that runs here).
build_for() {
  local triple=$1 folder=$2
  shift 2
  cmake -S "$QUORVEL_ROOT" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$QUORVEL_ROOT/cmake/mingw-$triple.cmake" "$@" >/dev/null
  cmake --build "$folder" -j"$(nproc)" -- --no-print-directory
}

build() { build_for "$QUORVEL_TRIPLE" "$QUORVEL_BUILD" "$@"; }

# For the scripts that run the program: builds the Windows build that runs here, then readies
# its prefix and a display.
build_and_ready() {
  echo "running the $QUORVEL_ARCH-bit build: $QUORVEL_ARCH_REASON" >&2
  build
  ensure_prefix
  start_xvfb
}
