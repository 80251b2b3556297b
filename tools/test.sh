#!/bin/bash
# Sets up a fresh Debian 12 machine (idempotently), builds both builds and runs
# every test: first the host build's sanitized tests, then the Windows build's
# under Wine. Extra arguments go to both CTest runs (for example -R Base64).
# JOBS sets the parallelism (default: every core); BUILD_ROOT the folder of
# the two builds and the test session (default: build/), so several work trees
# or engineers can build side by side.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-$(nproc)}
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}

fail() { echo "test.sh: $*" >&2; exit 1; }

./tools/install-packages.sh || fail "installing packages failed"
DEPS=$(./tools/build-deps.sh) || fail "building the dependencies failed"

cmake --preset host -B "$BUILD_ROOT/host" >/dev/null || fail "configuring the host build failed"
cmake --build "$BUILD_ROOT/host" -j "$JOBS" || fail "the host build failed"
cmake --preset windows -B "$BUILD_ROOT/windows" -DQUILLORA_DEPS_DIR="$DEPS" >/dev/null \
  || fail "configuring the Windows build failed"
cmake --build "$BUILD_ROOT/windows" -j "$JOBS" || fail "the Windows build failed"

# The host tests run natively, outside the Wine session and its environment.
ctest --test-dir "$BUILD_ROOT/host" --output-on-failure -j "$JOBS" "$@"
host_rc=$?

# Window tests save their pictures here (a Windows path for Wine's drive Z:).
mkdir -p "$BUILD_ROOT/screenshots"
export QUILLORA_SCREENSHOT_DIR="Z:$(printf '%s' "$BUILD_ROOT/screenshots" | tr / '\\')"

export QUILLORA_BROWSER_STANDIN_DLL="$BUILD_ROOT/windows/bin/BrowserStandin.dll"
# shellcheck source=tools/test-session.sh
. "$ROOT/tools/test-session.sh"
trap session_stop EXIT
session_start "$BUILD_ROOT/test-run" || fail "could not prepare the test session"

ctest --test-dir "$BUILD_ROOT/windows" --output-on-failure -j "$JOBS" "$@"
windows_rc=$?

if [ -n "$(find "$BUILD_ROOT/screenshots" -name '*.png' -print -quit 2>/dev/null)" ]; then
  echo "test.sh: screenshots in $BUILD_ROOT/screenshots"
fi
[ $host_rc -eq 0 ] || echo "test.sh: host tests failed" >&2
[ $host_rc -eq 0 ] && [ $windows_rc -eq 0 ]
