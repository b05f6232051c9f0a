#!/usr/bin/env bash
# Prepares a Debian 12 machine (as root) to build Quorvel and run it under Wine:
# the MinGW-w64 cross compilers (32- and 64-bit Windows), 64-bit Wine and, where the kernel
# runs 32-bit programs, 32-bit Wine (the i386 architecture and wine32), Xvfb, a Japanese font
# and the ja_JP.UTF-8 locale. Quiet and quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/probe-32bit.sh

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool fonts-ipafont-gothic
          locales cmake make imagemagick googletest x11-utils clang-format)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

updated=
apt_update() {
  [ -n "$updated" ] && return 0
  updated=1
  # A mirror caught mid-sync fails one index; the others still serve the install.
  apt-get update -qq || echo "setup: apt-get update reported errors; installing from the lists it has" >&2
}

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# 32-bit Wine, for the 32-bit build that ships, where the kernel runs 32-bit programs. When its
# packages cannot be installed (the i386 lists out of step with the amd64 ones), the scripts
# fall back to the 64-bit build (scripts/wine-env.sh), so this is a warning, not a failure.
if can_run_32bit_programs && ! has_32bit_wine && [ "$(id -u)" -eq 0 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  updated=
  apt_update
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null 2>&1 \
    || echo "setup: 32-bit Wine (wine32:i386) could not be installed; the 64-bit build will run" >&2
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: the ja_JP.UTF-8 locale is missing; run this script as root" >&2
    exit 1
  fi
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
