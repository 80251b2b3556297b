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

# The host build exists after a full test run; a WINDOWS_ONLY one has none.
HOST_BENCH=0
if [ -f "$BUILD_ROOT/host/CMakeCache.txt" ]; then
  cmake --build "$BUILD_ROOT/host" --target bench -j "$JOBS" >/dev/null || { echo "bench.sh: host build failed" >&2; exit 1; }
  HOST_BENCH=1
else
  echo "bench.sh: no host build in $BUILD_ROOT/host (run ./tools/test.sh once); only the Windows benchmarks run" >&2
fi
cmake --build "$WINDOWS_BUILD" --target bench -j "$JOBS" >/dev/null || { echo "bench.sh: Windows build failed" >&2; exit 1; }

for bench in "$BUILD_ROOT"/host/bin/*_bench; do
  [ "$HOST_BENCH" = 1 ] && [ -e "$bench" ] || continue
  case "$(basename "$bench")" in *"$FILTER"*) ;; *) continue ;; esac
  echo "== host: $(basename "$bench")"
  "$bench" || echo "bench.sh: $(basename "$bench") failed" >&2
done

# The program itself (app_startup_bench starts Quillora.exe) talks to the
# services at the build's fixed addresses: the stand-ins serve them there for
# the whole Windows part.
SERVE_PID=""
stop_all() {
  [ -n "$SERVE_PID" ] && kill "$SERVE_PID" 2>/dev/null && wait "$SERVE_PID" 2>/dev/null
  session_stop
}
# shellcheck source=tools/test-session.sh
. "$ROOT/tools/test-session.sh"
trap 'exit 130' INT TERM
trap stop_all EXIT
mkdir -p "$BUILD_ROOT/bench-run"
# shellcheck source=tools/standins/ports.env
. "$ROOT/tools/standins/ports.env"
STANDIN_CONTROL="http://127.0.0.1:$STANDIN_CONTROL_PORT"
python3 "$ROOT/tools/standins/serve.py" >"$BUILD_ROOT/bench-standins.log" 2>&1 &
SERVE_PID=$!
export QUILLORA_BROWSER_STANDIN_DLL="$WINDOWS_BUILD/bin/BrowserStandin.dll"
session_start "$BUILD_ROOT/bench-run" "$WINDOWS_BUILD/bin/TestDesktopClient.exe" || { echo "bench.sh: could not prepare the session" >&2; exit 1; }
curl -sf "$STANDIN_CONTROL/health" >/dev/null \
  || echo "bench.sh: the stand-in services did not start on their fixed ports (see $BUILD_ROOT/bench-standins.log); the program's requests fail" >&2
cd "$WINDOWS_BUILD/bin"
for bench in *_bench.exe; do
  [ -e "$bench" ] || continue
  case "$bench" in *"$FILTER"*) ;; *) continue ;; esac
  echo "== windows: $bench"
  "$ROOT/tools/wine-run" "./$bench" || echo "bench.sh: $bench failed" >&2
done
# What the program asked the stand-ins during its starts (the catalogue among them).
case app_startup_bench in
  *"$FILTER"*)
    counts=$(curl -sf "$STANDIN_CONTROL/instances/fixed/counts" 2>/dev/null) \
      && echo "stand-in requests during the Windows benchmarks: $counts" ;;
esac
