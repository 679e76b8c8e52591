#!/usr/bin/env bash
# Installs every package that building, generating the data set, testing and
# capturing need, from the archive of Debian 12 or 13 (only names that both
# releases have: clang and its runtime are the release's default version).
# Installs only what is missing; uses sudo when not run as root.
#
#   tools/install-deps.sh          what the native build, tests and capture need
#   tools/install-deps.sh --web    that, and the browser build's toolchain as well:
#                                  emscripten, binaryen, Chromium, Node.js and npm,
#                                  libjpeg-turbo compiled for WebAssembly from
#                                  Debian's source package, and web/'s npm packages
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
web=0
case "${1:-}" in
  "") ;;
  --web) web=1 ;;
  *) echo "usage: tools/install-deps.sh [--web]" >&2; exit 2 ;;
esac

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
if [ "$web" = 1 ]; then
  PACKAGES+=(emscripten binaryen chromium dpkg-dev)
  # Node.js may come from elsewhere with npm inside it; Debian's own packages
  # are installed only when neither command is there.
  command -v node >/dev/null || PACKAGES+=(nodejs)
  command -v npm >/dev/null || PACKAGES+=(npm)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

[ "$web" = 1 ] || exit 0
exec "$here/tools/web/install-wasm-deps.sh"
