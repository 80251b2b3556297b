#!/bin/bash
# Registers the stand-in browser engine (tools/browser-standin, built as
# BrowserStandin.dll) as the system web-browser class in a Wine prefix, so a
# program that creates that class through COM gets the stand-in. Wine here
# cannot load pages into its own browser control.
#
# Sourced:   . tools/register-browser-standin.sh
#            register_browser_standin /path/to/BrowserStandin.dll
# Run:       WINEPREFIX=... tools/register-browser-standin.sh /path/to/BrowserStandin.dll
#
# Uses the caller's WINEPREFIX (and WINEARCH). Call it after the prefix's last
# wineboot: a wineboot update writes Wine's own registration back.
# Wine takes in-process servers for this class only from the machine-wide
# classes (HKLM\Software\Classes), not from the user's; /reg:32 keeps a 64-bit
# prefix's 32-bit view in step, and a 32-bit prefix accepts it as well.

BROWSER_STANDIN_CLSID='{8856F961-340A-11D0-A96B-00C04FD705A2}'

register_browser_standin() {
  local dll=$1
  if [ -z "$dll" ] || [ ! -f "$dll" ]; then
    echo "register-browser-standin: no engine DLL at '${dll}'; build the Windows build first" >&2
    return 1
  fi
  if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX" ]; then
    echo "register-browser-standin: WINEPREFIX does not name a prefix" >&2
    return 1
  fi
  local windows_path key wine view
  wine=${WINE:-wine}
  # The registry view of the engine's own bitness (the 64-bit test build
  # registers a 64-bit engine in a 64-bit prefix).
  view=/reg:32
  [ "${QUILLORA_WINE_BITS:-32}" = 64 ] && view=/reg:64
  windows_path=$("$wine" winepath -w "$dll" 2>/dev/null | tr -d '\r') || windows_path=""
  if [ -z "$windows_path" ]; then
    echo "register-browser-standin: winepath could not name $dll" >&2
    return 1
  fi
  key="HKLM\\Software\\Classes\\CLSID\\$BROWSER_STANDIN_CLSID\\InprocServer32"
  "$wine" reg add "$key" /ve /d "$windows_path" /f "$view" >/dev/null 2>&1 &&
    "$wine" reg add "$key" /v ThreadingModel /d Apartment /f "$view" >/dev/null 2>&1 || {
    echo "register-browser-standin: wine reg add failed for $key" >&2
    return 1
  }
  # Read back: a registration that did not land would leave the program with Wine's own control.
  if ! "$wine" reg query "$key" /ve "$view" 2>/dev/null | tr -d '\r' | grep -qiF "BrowserStandin.dll"; then
    echo "register-browser-standin: $key does not name the stand-in after writing it" >&2
    return 1
  fi
  return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  register_browser_standin "$@"
fi
