#!/usr/bin/env bash
# The browser build's own dependencies, after tools/install-deps.sh --web has
# installed the Debian packages:
#  - libjpeg-turbo compiled to WebAssembly (without its SIMD code, which is
#    x86 assembly) from Debian's source package of the release, into
#    $QUORVANE_WASM_PREFIX (default /usr/local/lib/quorvane-wasm);
#  - web/'s npm packages (playwright-core, which drives Debian's Chromium in
#    the browser tests), exactly as web/package-lock.json pins them.
# Each step is skipped when its result is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${QUORVANE_WASM_PREFIX:-/usr/local/lib/quorvane-wasm}
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# Debian's emscripten needs Debian's JavaScript modules (acorn) on the module
# path when Node.js itself comes from elsewhere; Node's built-in fetch makes
# CMake's run checks fail unless it is turned off.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
node_emulator="$(command -v node);--no-experimental-fetch"
node --no-experimental-fetch -e 0 2>/dev/null || node_emulator="$(command -v node)"

. /etc/os-release
version=$(apt-cache show --no-all-versions libjpeg62-turbo-dev 2>/dev/null | sed -n 's/^Source: .*(\(.*\))/\1/p;s/^Version: //p' | head -1)
if [ ! -f "$prefix/lib/libjpeg.a" ] || [ "$(cat "$prefix/debian-version" 2>/dev/null)" != "$version" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # A private list of Debian's source archive for this release: the
  # machine's own apt configuration is left as it is.
  mkdir -p "$work/lists/partial"
  cat > "$work/sources.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  apt_private=(-o "Dir::Etc::SourceList=$work/sources.sources" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$work/lists" -o Debug::NoLocking=1)
  echo "Fetching Debian's source package of libjpeg-turbo ($VERSION_CODENAME)"
  (cd "$work" && apt-get -q "${apt_private[@]}" update >/dev/null)
  (cd "$work" && { apt-get -q "${apt_private[@]}" source --download-only "libjpeg-turbo=$version" ||
                   apt-get -q "${apt_private[@]}" source --download-only libjpeg-turbo; } >"$work/fetch.log" 2>&1) || true
  if compgen -G "$work/libjpeg-turbo_*.dsc" >/dev/null; then
    (cd "$work" && dpkg-source -q -x libjpeg-turbo_*.dsc src >/dev/null 2>&1)
  elif compgen -G "$work/libjpeg-turbo_*.orig.tar.*" >/dev/null && compgen -G "$work/libjpeg-turbo_*.debian.tar.*" >/dev/null; then
    # Some mirrors serve a source package's archives but not the .dsc that
    # lists them: the same unpacking by hand, upstream sources then Debian's
    # patches in their order.
    mkdir "$work/src"
    tar -xf "$work"/libjpeg-turbo_*.orig.tar.* -C "$work/src" --strip-components=1
    tar -xf "$work"/libjpeg-turbo_*.debian.tar.* -C "$work/src"
    if [ -f "$work/src/debian/patches/series" ]; then
      grep -vE '^\s*(#|$)' "$work/src/debian/patches/series" | while read -r patch _; do
        patch -d "$work/src" -p1 -s <"$work/src/debian/patches/$patch"
      done
    fi
  else
    cat "$work/fetch.log" >&2
    echo "Could not fetch Debian's source package of libjpeg-turbo for the browser build" >&2
    exit 1
  fi
  echo "Building libjpeg-turbo for WebAssembly"
  emcmake cmake -S "$work/src" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=0 \
    -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_TURBOJPEG=0 -DWITH_JAVA=0 \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$node_emulator" >/dev/null
  nice cmake --build "$work/build" -j"$(nproc)" --target jpeg-static >/dev/null
  $SUDO mkdir -p "$prefix/lib" "$prefix/include"
  $SUDO cp "$work/build/libjpeg.a" "$prefix/lib/"
  $SUDO cp "$work/build/jconfig.h" "$work/src/jerror.h" "$work/src/jmorecfg.h" \
    "$work/src/jpeglib.h" "$prefix/include/"
  echo "$version" | $SUDO tee "$prefix/debian-version" >/dev/null
fi

# Installed again whenever the lockfile changed since the last install.
if ! cmp -s "$here/web/package-lock.json" "$here/web/node_modules/.installed-lock.json"; then
  echo "Installing web/'s npm packages"
  (cd "$here/web" && npm ci --no-audit --no-fund --ignore-scripts >/dev/null &&
     cp package-lock.json node_modules/.installed-lock.json)
fi
