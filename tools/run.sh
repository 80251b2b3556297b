#!/bin/bash
# Runs Tavrin文字语音转换器 (Quillora.exe) against the local stand-in services.
# On a fresh Debian 12 machine it first does what the test command does
# (packages, dependencies, builds), sharing its scripts. Then it starts the
# stand-in services on the build's fixed ports (tools/standins/serve.py) and a
# Wine session like the tests' (Chinese locale, fonts, sound, the stand-in
# browser engine registered in the session's prefix, QUILLORA_BROWSER_CA
# naming the stand-ins' CA), and starts the program:
#   - with a display ($DISPLAY set): on that display, in a Wine desktop window;
#     closing the program ends the run;
#   - without one: on a virtual display; a screenshot of the main window after
#     start-up is saved and its place printed; Ctrl+C (or the program closing)
#     ends the run.
# Stopping the run stops everything it started.
#
# Usage: tools/run.sh [--once]
#   --once   without a display: end the run after the screenshot (exit status 0
#            only when it was saved); for scripts and the run command's test.
# BUILD_ROOT sets the build folder (default: build/); JOBS the parallelism;
# QUILLORA_RUN_DIR the folder of the run's Wine session (default:
# $BUILD_ROOT/run; it is made afresh each run).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-$(nproc)}
BUILD_ROOT=${BUILD_ROOT:-$ROOT/build}
RUN_DIR=${QUILLORA_RUN_DIR:-$BUILD_ROOT/run}
PERSON_DISPLAY=${DISPLAY:-}
ONCE=0
for argument in "$@"; do
  case "$argument" in
    --once) ONCE=1 ;;
    *) echo "run.sh: unknown argument '$argument' (usage: tools/run.sh [--once])" >&2; exit 2 ;;
  esac
done
# The run makes its own session; what a surrounding test session exported must not leak into it.
unset WINEPREFIX QUILLORA_BROWSER_LOG QUILLORA_STANDIN

fail() { echo "run.sh: $*" >&2; exit 1; }

./tools/install-packages.sh || fail "installing packages failed"
DEPS=$(./tools/build-deps.sh i686) || fail "building the dependencies failed"
# shellcheck source=tools/wine-arch.sh
. "$ROOT/tools/wine-arch.sh"

# The build this machine's Wine runs: the 32-bit product, or on machines that
# cannot run 32-bit programs the 64-bit build of the same sources.
TARGETS=(Quillora crashvane updrift pagemint test_desktop_client browser_standin window_shot)
if [ "$QUILLORA_WINE_BITS" = 64 ]; then
  echo "run.sh: this machine cannot run 32-bit programs; running the 64-bit build" >&2
  DEPS64=$(./tools/build-deps.sh x86_64) || fail "building the 64-bit dependencies failed"
  cmake --preset windows64 -B "$BUILD_ROOT/windows64" -DQUILLORA_DEPS_DIR="$DEPS64" >/dev/null \
    || fail "configuring the 64-bit Windows build failed"
  cmake --build "$BUILD_ROOT/windows64" -j "$JOBS" --target "${TARGETS[@]}" || fail "the build failed"
  BIN="$BUILD_ROOT/windows64/bin"
else
  cmake --preset windows -B "$BUILD_ROOT/windows" -DQUILLORA_DEPS_DIR="$DEPS" >/dev/null \
    || fail "configuring the Windows build failed"
  cmake --build "$BUILD_ROOT/windows" -j "$JOBS" --target "${TARGETS[@]}" || fail "the build failed"
  BIN="$BUILD_ROOT/windows/bin"
fi

# The fixed ports belong to one run at a time: a second run would find its
# stand-ins unable to listen and the program talking to the first run's.
# shellcheck source=tools/standins/ports.env
. "$ROOT/tools/standins/ports.env"
STANDIN_CONTROL="http://127.0.0.1:$STANDIN_CONTROL_PORT"
STANDIN_HEALTH="$STANDIN_CONTROL/health"
if curl -sf --max-time 2 "$STANDIN_HEALTH" >/dev/null 2>&1; then
  fail "stand-in services already answer on the fixed ports (another tools/run.sh, or tools/standins/serve.py, is running); stop it first"
fi

PROGRAM_PID=""
SERVE_PID=""
stop_all() {
  # The program first (it may still be writing its settings), then the services and the session.
  [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null && wait "$PROGRAM_PID" 2>/dev/null
  [ -n "$SERVE_PID" ] && kill "$SERVE_PID" 2>/dev/null && wait "$SERVE_PID" 2>/dev/null
  session_stop
}
trap 'exit 130' INT TERM
trap stop_all EXIT

# The stand-in services on the fixed ports the build's defaults point at.
mkdir -p "$BUILD_ROOT"
python3 "$ROOT/tools/standins/serve.py" >"$BUILD_ROOT/run-standins.log" 2>&1 &
SERVE_PID=$!

export QUILLORA_BROWSER_STANDIN_DLL="$BIN/BrowserStandin.dll"
# shellcheck source=tools/test-session.sh
. "$ROOT/tools/test-session.sh"
session_start "$RUN_DIR" "$BIN/TestDesktopClient.exe" || fail "could not prepare the Wine session"
for _ in $(seq 100); do
  curl -sf --max-time 2 "$STANDIN_HEALTH" >/dev/null 2>&1 && break
  kill -0 "$SERVE_PID" 2>/dev/null || break
  sleep 0.1
done
curl -sf --max-time 2 "$STANDIN_HEALTH" >/dev/null 2>&1 \
  || fail "the stand-in services did not start (see $BUILD_ROOT/run-standins.log)"
QUILLORA_BROWSER_CA=$("$WINE" winepath -w "$ROOT/tools/standins/dev-keys/dev-ca.pem" | tr -d '\r')
export QUILLORA_BROWSER_CA
echo "run.sh: stand-in services on 127.0.0.1 (speech $STANDIN_SPEECH_HTTP_PORT and $STANDIN_SPEECH_HTTPS_PORT, management $STANDIN_MANAGEMENT_HTTPS_PORT and $STANDIN_MANAGEMENT_HTTP_PORT, login $STANDIN_LOGIN_PORT, control $STANDIN_CONTROL_PORT); Wine session in $RUN_DIR"

cd "$BIN"
if [ -n "$PERSON_DISPLAY" ]; then
  echo "run.sh: starting Quillora.exe on $PERSON_DISPLAY (close it to end the run)"
  # A desktop of its own, so the window opens on the person's display rather
  # than in the session's virtual desktop on its virtual display.
  DISPLAY="$PERSON_DISPLAY" LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 \
    "$WINE" explorer /desktop=Quillora,1280x860 "$BIN/Quillora.exe" &
  PROGRAM_PID=$!
  wait "$PROGRAM_PID"
  PROGRAM_PID=""
  echo "run.sh: Quillora.exe has ended; stopping"
else
  SHOTS="$BUILD_ROOT/screenshots"
  mkdir -p "$SHOTS"
  QUILLORA_SCREENSHOT_DIR=$("$WINE" winepath -w "$SHOTS" | tr -d '\r')
  export QUILLORA_SCREENSHOT_DIR
  echo "run.sh: no display; starting Quillora.exe on a virtual display ($DISPLAY)"
  LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$WINE" "$BIN/Quillora.exe" >"$BUILD_ROOT/run-program.log" 2>&1 &
  PROGRAM_PID=$!
  shot_status=0
  if LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$WINE" "$BIN/QuilloraWindowShot.exe" run-main-window.png \
      >"$BUILD_ROOT/run-window-shot.log" 2>&1; then
    echo "run.sh: screenshot of the main window: $SHOTS/run-main-window.png"
  else
    shot_status=1
    echo "run.sh: the main window did not appear; no screenshot (see $BUILD_ROOT/run-program.log)" >&2
  fi
  if [ "$ONCE" = 1 ] || [ -n "${QUILLORA_RUN_ONCE:-}" ]; then
    counts=$(curl -sf --max-time 5 "$STANDIN_CONTROL/instances/fixed/counts" 2>/dev/null) \
      && echo "run.sh: requests the stand-ins served: $counts"
    echo "run.sh: stopping (--once)"
    exit "$shot_status"
  fi
  if kill -0 "$PROGRAM_PID" 2>/dev/null; then
    echo "run.sh: running; press Ctrl+C to stop"
    wait "$PROGRAM_PID"
  fi
  PROGRAM_PID=""
  echo "run.sh: Quillora.exe has ended; stopping"
fi
