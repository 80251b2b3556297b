#!/bin/bash
# Builds and runs every benchmark, printing their figures, each beside the
# baseline it measures in the same run: the host build's natively (note: that
# build carries the sanitizers, so compare ratios, not absolute figures), then
# the Windows build's under Wine in a test session with the stand-in services.
# Run ./tools/test.sh once first to set up. BUILD_ROOT names the folder of the
# two builds (default: build/), JOBS the parallelism; an argument runs only
# the benchmarks whose names contain it (for example: ./tools/bench.sh ui_).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-$(nproc)}
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
FILTER=${1:-}

# The Windows benchmarks run the build this machine's Wine can run (see
# tools/wine-arch.sh): the 32-bit one, or the 64-bit test build.
# shellcheck source=tools/wine-arch.sh
. "$ROOT/tools/wine-arch.sh"
WINDOWS_BUILD="$BUILD_ROOT/windows"
[ "$QUILLORA_WINE_BITS" = 64 ] && WINDOWS_BUILD="$BUILD_ROOT/windows64"

cmake --build "$BUILD_ROOT/host" --target bench -j "$JOBS" >/dev/null || { echo "bench.sh: host build failed" >&2; exit 1; }
cmake --build "$WINDOWS_BUILD" --target bench -j "$JOBS" >/dev/null || { echo "bench.sh: Windows build failed" >&2; exit 1; }

for bench in "$BUILD_ROOT"/host/bin/*_bench; do
  [ -e "$bench" ] || continue
  case "$(basename "$bench")" in *"$FILTER"*) ;; *) continue ;; esac
  echo "== host: $(basename "$bench")"
  "$bench" || echo "bench.sh: $(basename "$bench") failed" >&2
done

# shellcheck source=tools/test-session.sh
. "$ROOT/tools/test-session.sh"
trap session_stop EXIT
export QUILLORA_BROWSER_STANDIN_DLL="$WINDOWS_BUILD/bin/BrowserStandin.dll"
session_start "$BUILD_ROOT/bench-run" "$WINDOWS_BUILD/bin/TestDesktopClient.exe" || { echo "bench.sh: could not prepare the session" >&2; exit 1; }
cd "$WINDOWS_BUILD/bin"
for bench in *_bench.exe; do
  [ -e "$bench" ] || continue
  case "$bench" in *"$FILTER"*) ;; *) continue ;; esac
  echo "== windows: $bench"
  "$ROOT/tools/wine-run" "./$bench" || echo "bench.sh: $bench failed" >&2
done
