#!/usr/bin/env bash
# Starts the editor headless, waits for its main window, saves a PNG of it and closes it.
# Usage: scripts/screenshot.sh [output.png] [combo|dialog|year]   (default: quorvel.png)
# With "combo", the combo box gallery form instead of the editor, with its open list; with
# "dialog", the track-artist dialog over the editor after F5 has loaded a sample album; with
# "year", the editor with its year list open. QUORVEL_LOGPIXELS=144 (or 120, 192...) shows it
# as a display scaled to that many dots per inch does (the prefix's LogPixels, put back to 96
# afterwards).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-quorvel.png}")
bash scripts/setup.sh
. scripts/wine-env.sh
build_and_ready
trap 'stop_wineserver; stop_xvfb' EXIT
dpi=${QUORVEL_LOGPIXELS:-96}
set_logpixels() {
  jp "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}
if [ "$dpi" != 96 ]; then
  set_logpixels "$dpi"
  trap 'set_logpixels 96; stop_wineserver; stop_xvfb' EXIT
fi
exe=$QUORVEL_BUILD/Quorvel.exe title='^Quorvel 1\.02$'
if [ "${2:-}" = combo ]; then exe=$QUORVEL_BUILD/tests/combo_gallery.exe title='^ComboBoxExVell$'; fi
jp "$WINE" "$exe" </dev/null >/dev/null 2>&1 &
window=
for i in $(seq 1 200); do
  window=$(xdotool search --name "$title" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the main window did not appear" >&2; exit 1; }
# Waits up to 20 s for a window whose name matches $1.
await_window() {
  for i in $(seq 1 200); do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "no window \"$1\" appeared" >&2
  exit 1
}
sleep 0.5  # let the first paint finish
if [ "${2:-}" = dialog ]; then
  album=$(mktemp -d)
  trap 'set_logpixels 96; stop_wineserver; stop_xvfb; rm -rf "$album"' EXIT
  printf '01 \xe5\xa4\x9c\xe6\x98\x8e\xe3\x81\x91\xe3\x81\xae\xe6\xad\x8c.mp3\r\n02 Intro.mp3\r\n' >"$album/title.txt"
  xdotool key F5
  await_window '^開く$'
  xdotool type --delay 20 "Z:${album//\//\\}\\title.txt"
  xdotool key Return
  for i in $(seq 1 200); do xdotool search --name '^開く$' >/dev/null 2>&1 || break; sleep 0.1; done
  xdotool key F6
  await_window '^曲別参加アーティスト$'
  sleep 0.5
fi
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "${2:-}" = combo ]; then
  # A click on the third box's arrow opens its list, which may reach beyond the window.
  xdotool mousemove --window "$window" 183 104 click 1
  sleep 0.5
  HEIGHT=$((HEIGHT + 120)); WIDTH=$((WIDTH + 120))
fi
if [ "${2:-}" = year ]; then
  # A click on the year box's arrow (its design place scaled, inside the window's frame).
  frame=$(( (WIDTH - (592 * dpi + 48) / 96) / 2 ))
  caption=$(( HEIGHT - (237 * dpi + 48) / 96 - 2 * frame ))
  xdotool mousemove --window "$window" $(( frame + (211 * dpi + 48) / 96 )) \
    $(( frame + caption + (97 * dpi + 48) / 96 )) click 1
  sleep 0.5
  HEIGHT=$((HEIGHT + (120 * dpi + 48) / 96))
fi
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$out"
echo "$out"
