#!/usr/bin/env bash
# Installs every package that building, generating the data set, testing and
# capturing need, from the archive of Debian 12 or 13 (only names that both
# releases have: clang and its runtime are the release's default version).
# Installs only what is missing; uses sudo when not run as root.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  clang libclang-rt-dev
  libsdl2-dev libjpeg62-turbo-dev libmpg123-dev libmp3lame-dev libpng-dev
  libfreetype-dev fonts-dejavu-core fonts-dejavu-extra
  libgtest-dev libgmock-dev googletest libbenchmark-dev libpixman-1-dev
  lib3ds-dev
  xvfb xauth x11-utils x11-apps xdotool imagemagick
  ffmpeg sox
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
