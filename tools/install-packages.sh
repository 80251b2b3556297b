#!/bin/sh
# Installs the Debian packages the build and the tests need. Idempotent: packages
# already present are left alone, and apt is only consulted when one is missing.
set -eu

PACKAGES="cmake ninja-build make pkg-config git ca-certificates curl xz-utils dpkg-dev \
  g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev \
  libz-mingw-w64-dev libstb-dev \
  googletest nasm autoconf automake libtool perl \
  wine wine32:i386 wine64 xvfb xauth xdotool x11-utils fonts-wqy-microhei pulseaudio \
  python3 python3-venv python3-pil espeak-ng ffmpeg pocketsphinx pocketsphinx-en-us sox zip unzip openssl \
  locales g++ zlib1g-dev libssl-dev libjsoncpp-dev"

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

# One query for every package, and the missing ones picked out in the same
# pipeline: a query per package took seconds in all. A name without an
# architecture may be installed for the machine's own or for "all".
# shellcheck disable=SC2086
missing=$(dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' $PACKAGES 2>/dev/null \
  | awk -v wanted="$PACKAGES" -v native="$(dpkg --print-architecture)" '
      $3 == "ok" && $4 == "installed" { have[$1] = 1 }
      END {
        n = split(wanted, list, " ")
        for (i = 1; i <= n; i++) {
          p = list[i]
          if (p ~ /:/) { if (!(p in have)) printf " %s", p }
          else if (!((p ":" native) in have) && !((p ":all") in have)) printf " %s", p
        }
      }')

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
