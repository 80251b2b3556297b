#!/bin/sh
# Installs the Debian packages the build and the tests need. Idempotent: packages
# already present are left alone, and apt is only consulted when one is missing.
set -eu

PACKAGES="cmake ninja-build make pkg-config git ca-certificates curl xz-utils dpkg-dev \
  g++-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev libstb-dev \
  googletest nasm autoconf automake libtool perl \
  wine wine32:i386 wine64 xvfb xauth fonts-wqy-microhei pulseaudio \
  python3 python3-venv python3-pil espeak-ng ffmpeg pocketsphinx pocketsphinx-en-us sox zip unzip openssl \
  locales g++ zlib1g-dev libssl-dev libjsoncpp-dev"

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

missing=""
for p in $PACKAGES; do
  name=${p%%:*}
  arch=${p#*:}
  [ "$arch" = "$p" ] && arch=""
  if [ -n "$arch" ]; then q="$name:$arch"; else q="$name"; fi
  if ! dpkg-query -W -f='${Status}' "$q" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

# deb-src is needed for `apt-get source` of the cross-built dependencies.
need_update=""
SRC=/etc/apt/sources.list.d/debian.sources
if [ -f "$SRC" ] && ! grep -q '^Types:.*deb-src' "$SRC"; then
  $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$SRC"
  need_update=1
fi
# Machines with the one-line format get a deb-src twin of every deb line.
LIST=/etc/apt/sources.list
if [ -f "$LIST" ] && grep -q '^deb ' "$LIST" && ! grep -q '^deb-src ' "$LIST"; then
  grep '^deb ' "$LIST" | sed 's/^deb /deb-src /' | $SUDO tee -a "$LIST" >/dev/null
  need_update=1
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi
# A machine whose apt lists predate the deb-src switch has no source index yet.
if ! ls /var/lib/apt/lists/*_source_Sources* >/dev/null 2>&1; then need_update=1; fi

if [ -z "$missing" ] && [ -z "$need_update" ]; then
  exit 0
fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q || { echo "install-packages: apt-get update failed" >&2; exit 1; }
if [ -n "$missing" ]; then
  echo "install-packages: installing$missing"
  # shellcheck disable=SC2086
  $SUDO apt-get install -y -q --no-install-recommends $missing \
    || { echo "install-packages: apt-get install failed for:$missing" >&2; exit 1; }
fi
