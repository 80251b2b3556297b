# Sourced by tools/test.sh: starts what the Windows tests need for one run and
# stops it again on exit. Everything lives under $RUN_DIR.
#   - a Wine prefix of its own, made once per run, with one persistent wineserver;
#   - an Xvfb display for the window tests, with a Wine virtual desktop on it;
#   - the Chinese locale (ANSI code page 936) and a CJK font standing in for the
#     font names the skins use;
#   - sound played into a PulseAudio null sink, which takes samples at their real
#     rate (ALSA's null device, the fallback, swallows them several times too
#     fast for playback timing); no prompts for Wine's missing Mono and browser
#     engine.
#   - the stand-in services' supervisor, whose control address tests read from
#     QUILLORA_STANDIN;
#   - the desktop client (the Windows build's TestDesktopClient.exe, the second
#     argument of session_start), which keeps Wine's desktop process running.
#   - the stand-in browser engine registered for the system web-browser class
#     (QUILLORA_BROWSER_STANDIN_DLL names the DLL), logging to QUILLORA_BROWSER_LOG.

session_start() {
  RUN_DIR=$1
  DESKTOP_CLIENT=$2
  rm -rf "$RUN_DIR"
  mkdir -p "$RUN_DIR"

  # Wine maps file names through the locale's code set: without the Chinese
  # locale generated, names beyond ASCII cannot be created. Build it privately
  # rather than changing the machine's locales. It takes seconds, so it is
  # kept beside the run folder, once per C library version.
  LOCALE_DIR="$RUN_DIR-locale-$(getconf GNU_LIBC_VERSION | tr -c 'a-z0-9.\n' -)"
  if [ ! -f "$LOCALE_DIR/zh_CN.UTF-8/LC_CTYPE" ]; then
    rm -rf "$LOCALE_DIR.part" && mkdir -p "$LOCALE_DIR.part" \
      && localedef -i zh_CN -f UTF-8 "$LOCALE_DIR.part/zh_CN.UTF-8" >"$RUN_DIR/localedef.log" 2>&1 \
      && rm -rf "$LOCALE_DIR" && mv "$LOCALE_DIR.part" "$LOCALE_DIR"
  fi
  if [ -f "$LOCALE_DIR/zh_CN.UTF-8/LC_CTYPE" ]; then
    export LOCPATH="$LOCALE_DIR"
  else
    echo "test-session: could not build the zh_CN.UTF-8 locale; Chinese file names will not work" >&2
  fi

  export WINEPREFIX="$RUN_DIR/wineprefix"
  # shellcheck source=tools/wine-arch.sh
  . "$ROOT/tools/wine-arch.sh"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe="
  printf '%s\n' '</usr/share/alsa/alsa.conf>' 'pcm.!default { type null }' 'ctl.!default { type hw card 0 }' \
    > "$RUN_DIR/asound.conf"
  export ALSA_CONFIG_PATH="$RUN_DIR/asound.conf"
  # A private sound server on a short socket path (socket paths are limited to
  # 108 bytes); Wine prefers it over ALSA when it answers.
  PULSE_DIR=$(mktemp -d /tmp/quillora-pulse.XXXXXX)
  HOME="$PULSE_DIR" PULSE_RUNTIME_PATH="$PULSE_DIR" PULSE_STATE_PATH="$PULSE_DIR" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    --load="module-null-sink sink_name=quillora_null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$PULSE_DIR/native" >"$RUN_DIR/pulse.log" 2>&1 &
  PULSE_PID=$!
  for _ in $(seq 100); do [ -S "$PULSE_DIR/native" ] && break; sleep 0.1; done
  if [ -S "$PULSE_DIR/native" ]; then
    export PULSE_SERVER="unix:$PULSE_DIR/native" PULSE_COOKIE="$PULSE_DIR/cookie"
  else
    echo "test-session: PulseAudio did not start; playback runs on ALSA's null device, too fast" >&2
  fi

  exec 9>"$RUN_DIR/display"
  Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -ac >"$RUN_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$RUN_DIR/display" ] && break; sleep 0.1; done
  [ -s "$RUN_DIR/display" ] || { echo "test-session: Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(head -1 "$RUN_DIR/display")"
  exec 9>&-

  LC_ALL=zh_CN.UTF-8 "$WINE" wineboot -i >"$RUN_DIR/wineboot.log" 2>&1 || { echo "test-session: wineboot failed" >&2; return 1; }
  for name in "微软雅黑" "Microsoft YaHei" "宋体" "SimSun" "新宋体" "NSimSun" "黑体" "SimHei"; do
    LC_ALL=zh_CN.UTF-8 "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "WenQuanYi Micro Hei" /f \
      >/dev/null 2>&1
  done
  # Windows live on a virtual desktop: without a window manager on the X
  # display, Wine waits two seconds for every visible top-level window it
  # destroys. The desktop takes effect when explorer next starts, so the
  # prefix's processes end first and the persistent wineserver starts afresh.
  LC_ALL=zh_CN.UTF-8 "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  LC_ALL=zh_CN.UTF-8 "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  "$WINESERVER" -k
  "$WINESERVER" -w
  "$WINESERVER" -p
  # Starts the prefix's background processes (the desktop among them) now,
  # with their output in the log: started by a test, they would inherit its
  # output pipe and hold it open after the test has ended.
  LC_ALL=zh_CN.UTF-8 "$WINE" wineboot >>"$RUN_DIR/wineboot.log" 2>&1

  # --- After the last wineboot ---
  # Prefix settings that wineboot would rewrite (registrations of test
  # stand-ins) belong here, after the last wineboot of the session.

  # The desktop process, for the same reason as the services: Wine starts it
  # for the first program that needs the desktop and ends it once no program
  # uses it, so a client that lives as long as the session starts it here and
  # keeps it.
  LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 "$WINE" "$DESKTOP_CLIENT" </dev/null >"$RUN_DIR/desktop.log" 2>&1 &
  DESKTOP_CLIENT_PID=$!
  for _ in $(seq 300); do
    grep -q '^desktop ready' "$RUN_DIR/desktop.log" 2>/dev/null && break
    kill -0 "$DESKTOP_CLIENT_PID" 2>/dev/null || break
    sleep 0.1
  done
  grep -q '^desktop ready' "$RUN_DIR/desktop.log" 2>/dev/null \
    || echo "test-session: the desktop client did not start (see $RUN_DIR/desktop.log); the first window test will hold its CTest slot all run" >&2

  QUILLORA_STANDIN=""
  if [ -f "$ROOT/tools/standins/supervisor.py" ]; then
    python3 "$ROOT/tools/standins/supervisor.py" --port-file "$RUN_DIR/standin.port" \
      >"$RUN_DIR/standin.log" 2>&1 &
    STANDIN_PID=$!
    for _ in $(seq 100); do [ -s "$RUN_DIR/standin.port" ] && break; sleep 0.1; done
    [ -s "$RUN_DIR/standin.port" ] || { echo "test-session: stand-in supervisor did not start" >&2; cat "$RUN_DIR/standin.log" >&2; return 1; }
    QUILLORA_STANDIN="http://127.0.0.1:$(cat "$RUN_DIR/standin.port")"
  fi
  export QUILLORA_STANDIN

  # The stand-in browser engine answers the system web-browser class; after the last wineboot.
  . "$ROOT/tools/register-browser-standin.sh"
  register_browser_standin "${QUILLORA_BROWSER_STANDIN_DLL:-$RUN_DIR/../windows/bin/BrowserStandin.dll}" || return 1
  export QUILLORA_BROWSER_LOG="${QUILLORA_BROWSER_LOG:-$("$WINE" winepath -w "$RUN_DIR/browser.log" | tr -d '\r')}"
}

session_stop() {
  [ -n "${STANDIN_PID:-}" ] && kill "$STANDIN_PID" 2>/dev/null && wait "$STANDIN_PID" 2>/dev/null
  [ -n "${DESKTOP_CLIENT_PID:-}" ] && kill "$DESKTOP_CLIENT_PID" 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && "${WINESERVER:-wineserver}" -k 2>/dev/null
  [ -n "${DESKTOP_CLIENT_PID:-}" ] && wait "$DESKTOP_CLIENT_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  [ -n "${PULSE_PID:-}" ] && kill "$PULSE_PID" 2>/dev/null && wait "$PULSE_PID" 2>/dev/null
  [ -n "${PULSE_DIR:-}" ] && rm -rf "$PULSE_DIR"
  return 0
}
