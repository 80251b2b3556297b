#!/bin/bash
# Sets up a fresh Debian 12 machine (idempotently), builds both builds and runs
# every test: first the host build's sanitized tests, then the Windows build's
# under Wine. Extra arguments go to both CTest runs (for example -R Base64).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-$(nproc)}

fail() { echo "test.sh: $*" >&2; exit 1; }

./tools/install-packages.sh || fail "installing packages failed"
DEPS=$(./tools/build-deps.sh) || fail "building the dependencies failed"

cmake --preset host >/dev/null || fail "configuring the host build failed"
cmake --build --preset host -j "$JOBS" || fail "the host build failed"
cmake --preset windows -DQUILLORA_DEPS_DIR="$DEPS" >/dev/null || fail "configuring the Windows build failed"
cmake --build --preset windows -j "$JOBS" || fail "the Windows build failed"

# The host tests run natively, outside the Wine session and its environment.
ctest --preset host -j "$JOBS" "$@"
host_rc=$?

# shellcheck source=tools/test-session.sh
. "$ROOT/tools/test-session.sh"
trap session_stop EXIT
session_start "$ROOT/build/test-run" || fail "could not prepare the test session"

ctest --preset windows -j "$JOBS" "$@"
windows_rc=$?

[ $host_rc -eq 0 ] || echo "test.sh: host tests failed" >&2
[ $host_rc -eq 0 ] && [ $windows_rc -eq 0 ]
