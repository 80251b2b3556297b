#!/bin/bash
# Cross-builds the libraries Debian ships no mingw build of (OpenSSL, curl,
# jsoncpp, LAME, FFmpeg with ffmpeg.exe) statically for mingw-w64, from the
# upstream tarballs of Debian's bookworm source packages. The product is 32-bit
# (i686); the x86_64 build serves the tests on machines that cannot run 32-bit
# programs (see tools/test.sh).
#
# The result lands in a cache outside the checkout, keyed by the package
# versions, this script and the toolchain, so a second run only prints the path.
# Usage: build-deps.sh [i686|x86_64]   prints the prefix of the finished build on stdout
set -euo pipefail

ARCH=${1:-i686}
case "$ARCH" in
  i686) OPENSSL_TARGET=mingw; FFMPEG_ARCH=x86 ;;
  x86_64) OPENSSL_TARGET=mingw64; FFMPEG_ARCH=x86_64 ;;
  *) echo "build-deps: unknown architecture '$ARCH' (i686 or x86_64)" >&2; exit 1 ;;
esac
HOST=$ARCH-w64-mingw32
# The 32-bit key stays what it was, so existing caches remain valid.
[ "$ARCH" = i686 ] || ARCH_KEY=" arch=$ARCH"
CC="$HOST-gcc-posix"
CXX="$HOST-g++-posix"
JOBS=${JOBS:-$(nproc)}
CACHE_ROOT=${QUILLORA_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quillora-deps}
SCRIPT_DIR=$(cd "$(dirname "$0")" && pwd)
MINGW_ROOT=/usr/$HOST

die() { echo "build-deps: $*" >&2; exit 1; }
log() { echo "build-deps: $*" >&2; }

command -v "$CC" >/dev/null || die "$CC not found; run tools/install-packages.sh first"
command -v nasm >/dev/null || die "nasm not found; run tools/install-packages.sh first"

PKGS=(openssl curl libjsoncpp lame ffmpeg)
# Bump when a configure option or build step below changes: it is part of the
# cache key, so every machine rebuilds once (log-only edits need no bump).
RECIPE=2

# Candidate source version of a package (what `apt-get source` would fetch).
src_version() {
  apt-get source --print-uris -qq "$1" 2>/dev/null | awk '{print $2}' | grep -m1 '\.dsc$' \
    | sed -e "s/^$1_//" -e 's/\.dsc$//'
}

# Asking apt-get for the versions takes seconds, so they are remembered per
# state of apt's source indexes and configuration (names, sizes, times of the
# files) and asked again only after an `apt-get update` or a change of sources.
apt_state=$( { echo "${PKGS[*]}"
  stat -c '%n %s %Y' /var/lib/apt/lists/*Sources* /etc/apt/sources.list /etc/apt/sources.list.d/* \
    /etc/apt/preferences /etc/apt/preferences.d/* 2>/dev/null || true; } | sha256sum | cut -c1-16)
VERSIONS_FILE="$CACHE_ROOT/versions-$apt_state"

declare -A VERSION
if [ -s "$VERSIONS_FILE" ]; then
  while IFS='=' read -r p v; do VERSION[$p]=$v; done <"$VERSIONS_FILE"
fi
for p in "${PKGS[@]}"; do
  [ -n "${VERSION[$p]:-}" ] && continue
  v=$(src_version "$p") || true
  [ -n "$v" ] || die "no source package '$p' (is deb-src enabled for bookworm? run tools/install-packages.sh)"
  VERSION[$p]=$v
  looked_up=1
done
if [ -n "${looked_up:-}" ]; then
  mkdir -p "$CACHE_ROOT"
  for p in "${PKGS[@]}"; do echo "$p=${VERSION[$p]}"; done >"$VERSIONS_FILE.$$"
  mv "$VERSIONS_FILE.$$" "$VERSIONS_FILE"
fi

key_text="$(for p in "${PKGS[@]}"; do echo "$p=${VERSION[$p]}"; done)
recipe=$RECIPE${ARCH_KEY:-}
$($CC --version | head -1)
$(nasm -v)"
KEY=$(echo "$key_text" | sha256sum | cut -c1-16)
PREFIX="$CACHE_ROOT/$KEY"

if [ -f "$PREFIX/.complete" ]; then
  echo "$PREFIX"
  exit 0
fi

# One build at a time per cache; a second caller waits and then finds it done.
mkdir -p "$CACHE_ROOT"
exec 8>"$CACHE_ROOT/.lock"
flock 8
if [ -f "$PREFIX/.complete" ]; then
  echo "$PREFIX"
  exit 0
fi

WORK="$CACHE_ROOT/work-$KEY"
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK/src" "$PREFIX"
log "building into $PREFIX"
log "versions: $(for p in "${PKGS[@]}"; do printf '%s ' "$p=${VERSION[$p]}"; done)"

# Downloads the upstream tarball of a source package and checks its SHA-256.
# A security update may lack its Debian tarball; only the upstream one is used.
fetch_orig() {
  local pkg=$1 line url name sum
  line=$(apt-get source --print-uris -qq "$pkg" 2>/dev/null | grep -E "\.orig\.tar\.(gz|xz|bz2)' " | head -1) \
    || die "no upstream tarball listed for $pkg"
  url=$(echo "$line" | awk '{print $1}' | tr -d "'")
  name=$(echo "$line" | awk '{print $2}')
  sum=$(echo "$line" | awk '{print $4}' | sed 's/^SHA256://')
  if [ ! -f "$CACHE_ROOT/downloads/$name" ]; then
    mkdir -p "$CACHE_ROOT/downloads"
    log "downloading $name"
    curl -fsSL --retry 3 -o "$CACHE_ROOT/downloads/$name.part" "$url" || die "download of $url failed"
    mv "$CACHE_ROOT/downloads/$name.part" "$CACHE_ROOT/downloads/$name"
  fi
  if [ -n "$sum" ] && ! echo "$sum  $CACHE_ROOT/downloads/$name" | sha256sum -c --quiet - >/dev/null 2>&1; then
    rm -f "$CACHE_ROOT/downloads/$name"
    die "checksum of $name does not match the source package"
  fi
  mkdir -p "$WORK/src/$pkg"
  tar -xf "$CACHE_ROOT/downloads/$name" -C "$WORK/src/$pkg" --strip-components=1 || die "cannot unpack $name"
}

# Runs a build step with its output in a log; on failure shows the log's tail.
step() {
  local name=$1; shift
  local logf="$WORK/$name.log" started=$SECONDS
  log "$name"
  if ! ( "$@" ) >"$logf" 2>&1; then
    tail -40 "$logf" >&2
    die "$name failed (full log: $logf)"
  fi
  log "$name built in $((SECONDS - started)) s"
}

for p in "${PKGS[@]}"; do fetch_orig "$p"; done

export PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig"
export PKG_CONFIG_PATH=""

build_openssl() {
  cd "$WORK/src/openssl"
  ./Configure "$OPENSSL_TARGET" --cross-compile-prefix="$HOST-" no-shared no-tests no-module \
    --prefix="$PREFIX" --libdir=lib --openssldir="$PREFIX/ssl" CC=gcc-posix CXX=g++-posix
  make -j"$JOBS" build_libs
  make install_dev
}

build_curl() {
  cd "$WORK/src/curl"
  ./configure --host="$HOST" --prefix="$PREFIX" CC="$CC" \
    CPPFLAGS="-I$PREFIX/include -I$MINGW_ROOT/include -DNGHTTP2_STATICLIB" \
    LDFLAGS="-L$PREFIX/lib" LIBS="-lws2_32 -lcrypt32 -lgdi32 -ladvapi32 -luser32 -lbcrypt" \
    --disable-shared --enable-static --with-openssl="$PREFIX" --with-zlib="$MINGW_ROOT" \
    --without-brotli --without-zstd --without-libidn2 --without-nghttp2 --without-libpsl \
    --without-librtmp --without-libssh2 --without-ca-bundle --without-ca-path \
    --disable-ldap --disable-ldaps --disable-manual --disable-rtsp --disable-dict \
    --disable-telnet --disable-tftp --disable-pop3 --disable-imap --disable-smtp \
    --disable-gopher --disable-mqtt --disable-smb
  make -j"$JOBS" -C lib
  make -C lib install
  make -C include install
  make install-pkgconfigDATA
}

build_jsoncpp() {
  mkdir -p "$WORK/build-jsoncpp" && cd "$WORK/build-jsoncpp"
  cmake "$WORK/src/libjsoncpp" -DCMAKE_TOOLCHAIN_FILE="$SCRIPT_DIR/../cmake/mingw-$ARCH.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF -DJSONCPP_WITH_PKGCONFIG_SUPPORT=ON
  make -j"$JOBS"
  make install
}

build_lame() {
  cd "$WORK/src/lame"
  ./configure --host="$HOST" --prefix="$PREFIX" CC="$CC" --disable-shared --enable-static \
    --disable-frontend --disable-gtktest --disable-decoder
  make -j"$JOBS"
  make install
}

build_ffmpeg() {
  cd "$WORK/src/ffmpeg"
  ./configure --enable-cross-compile --target-os=mingw32 --arch="$FFMPEG_ARCH" --cross-prefix="$HOST-" \
    --cc="$CC" --cxx="$CXX" --prefix="$PREFIX" --pkg-config=pkg-config --pkg-config-flags=--static \
    --disable-shared --enable-static --enable-gpl --enable-libmp3lame \
    --extra-cflags="-I$PREFIX/include" --extra-ldflags="-L$PREFIX/lib -static" \
    --disable-doc --disable-ffplay --disable-ffprobe --disable-network --disable-debug \
    --disable-autodetect --enable-w32threads --disable-hwaccels --disable-devices --enable-indev=lavfi
  make -j"$JOBS"
  make install
}

step openssl build_openssl
step curl build_curl
step jsoncpp build_jsoncpp
step lame build_lame
step ffmpeg build_ffmpeg

[ -f "$PREFIX/bin/ffmpeg.exe" ] || die "ffmpeg.exe was not built"
echo "$key_text" > "$PREFIX/.versions"
touch "$PREFIX/.complete"
rm -rf "$WORK"
log "done"
echo "$PREFIX"
