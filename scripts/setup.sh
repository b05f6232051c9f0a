#!/usr/bin/env bash
# Prepares a Debian 12 machine (as root) to build Quorvel and run it under Wine:
# the MinGW-w64 cross compilers (32- and 64-bit Windows), 64-bit Wine and, where the kernel
# runs 32-bit programs, 32-bit Wine (the i386 architecture and wine32), Xvfb, a Japanese font
# and the ja_JP.UTF-8 locale. Quiet and quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/probe-32bit.sh

packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool fonts-ipafont-gothic
          locales cmake make imagemagick googletest x11-utils)
if can_run_32bit_programs; then
  packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
  fi
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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
