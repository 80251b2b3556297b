#!/bin/bash
# Builds and runs every benchmark, printing their figures: the host build's
# natively (note: that build carries the sanitizers, so compare ratios, not
# absolute figures), then the Windows build's under Wine in a test session
# with the stand-in services. Run ./tools/test.sh once first to set up.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-$(nproc)}

# The Windows benchmarks run the build this machine's Wine can run (see tools/wine-arch.sh).
# shellcheck source=tools/wine-arch.sh
. "$ROOT/tools/wine-arch.sh"
WINDOWS_PRESET=windows
[ "$QUILLORA_WINE_BITS" = 64 ] && WINDOWS_PRESET=windows64

cmake --build --preset host --target bench -j "$JOBS" >/dev/null || { echo "bench.sh: host build failed" >&2; exit 1; }
cmake --build --preset "$WINDOWS_PRESET" --target bench -j "$JOBS" >/dev/null \
  || { echo "bench.sh: Windows build failed" >&2; exit 1; }

for bench in build/host/bin/*_bench; do
  echo "== host: $(basename "$bench")"
  "$bench" || echo "bench.sh: $(basename "$bench") failed" >&2
done

# shellcheck source=tools/test-session.sh
. "$ROOT/tools/test-session.sh"
trap session_stop EXIT
session_start "$ROOT/build/bench-run" || { echo "bench.sh: could not prepare the session" >&2; exit 1; }
cd "build/$WINDOWS_PRESET/bin"
for bench in *_bench.exe; do
  echo "== windows: $bench"
  "$ROOT/tools/wine-run" "./$bench" || echo "bench.sh: $bench failed" >&2
done
