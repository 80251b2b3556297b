#!/bin/bash
# The run command end to end, as a person without a display runs it:
# `tools/run.sh --once` does the set-up and build steps (already done by the
# test run, so they only check), starts the fixed-port stand-ins and a Wine
# session of its own, starts Quillora.exe, saves the main window's screenshot
# and stops everything again. Checked here:
#   - it ends with status 0 and names the screenshot, a PNG of the main
#     window's size with a picture in it (not one flat colour);
#   - the program reached the stand-ins (catalogue requests);
#   - the run's own prefix has the stand-in browser engine registered for the
#     system web-browser class;
#   - no process it started is left (every descendant carries a mark in its
#     environment, looked for in /proc afterwards).
# Skipped (exit 77) when the fixed stand-in ports are already taken: another
# run of the program holds them, and a second one cannot run beside it.
# Usage: run_command_test.sh SOURCE_DIR BUILD_ROOT
set -uo pipefail
SOURCE_DIR=$1
BUILD_ROOT=$2
RUN_DIR="$BUILD_ROOT/run-command-test"
OUTPUT="$BUILD_ROOT/run-command-test.out"
MARK="run-command-test-$$-$RANDOM"

problems=0
problem() { echo "run_command_test: $*" >&2; problems=$((problems + 1)); }

# shellcheck source=tools/standins/ports.env
. "$SOURCE_DIR/tools/standins/ports.env"
if curl -sf --max-time 2 "http://127.0.0.1:$STANDIN_CONTROL_PORT/health" >/dev/null 2>&1; then
  echo "run_command_test: the fixed stand-in ports are in use by another run; skipped"
  exit 77
fi

# Without a display, in a session of its own; the marked environment goes to
# every process the run starts.
env -u DISPLAY QUILLORA_RUN_TEST_MARK="$MARK" BUILD_ROOT="$BUILD_ROOT" QUILLORA_RUN_DIR="$RUN_DIR" JOBS=2 \
  "$SOURCE_DIR/tools/run.sh" --once >"$OUTPUT" 2>&1
status=$?
cat "$OUTPUT"
[ "$status" = 0 ] || problem "run.sh --once ended with status $status"

# The screenshot it names.
shot=$(sed -n 's/^run\.sh: screenshot of the main window: //p' "$OUTPUT" | tail -1)
if [ -z "$shot" ]; then
  problem "run.sh printed no screenshot path"
elif ! /usr/bin/python3 - "$shot" <<'EOF'  # Debian's Python, which has python3-pil
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
width, height = image.size
# The skin's main window is 1024 x 720.
if (width, height) != (1024, 720):
    sys.exit(f"the screenshot is {width}x{height}, not the main window's 1024x720")
colours = image.getcolors(maxcolors=1 << 16)
if colours is not None and len(colours) < 16:
    sys.exit(f"the screenshot holds only {len(colours)} colours: nothing was drawn")
EOF
then
  problem "the screenshot $shot is not a picture of the main window"
fi

# The program's requests reached the run's stand-ins (run.sh prints what they served).
grep -q 'voiceList\.php' "$OUTPUT" || problem "the stand-ins served the program no catalogue request"

# The engine registration in the run's own prefix (written to disk when its wineserver ended).
python3 - "$RUN_DIR/wineprefix/system.reg" <<'EOF' || problem "the run's prefix has no stand-in browser engine for the web-browser class"
import re, sys
text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
key = r"[Software\\Classes\\CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}\\InprocServer32]"
at = text.lower().find(key.lower())
if at < 0:
    sys.exit(1)
section = text[at:text.find("\n\n", at)]
sys.exit(0 if re.search(r'^@=".*BrowserStandin\.dll"', section, re.M) else 1)
EOF

# Nothing the run started is left: wait a little for the last ones to go.
left=""
for _ in $(seq 50); do
  left=""
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    if tr '\0' '\n' 2>/dev/null <"$environ" | grep -qx "QUILLORA_RUN_TEST_MARK=$MARK"; then
      left="$left $pid($(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | cut -c1-80))"
    fi
  done
  [ -z "$left" ] && break
  sleep 0.2
done
[ -z "$left" ] || problem "processes of the run are still running:$left"

[ "$problems" = 0 ] && echo "run_command_test: passed"
[ "$problems" = 0 ]
