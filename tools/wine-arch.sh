# Sourced: decides which Wine runs the Windows programs on this machine and
# exports QUILLORA_WINE_BITS (32 or 64), WINEARCH, WINE (the loader to start
# programs with) and WINESERVER. 32-bit Wine needs a kernel that executes
# 32-bit programs; where it cannot (the loader fails with "Exec format error"),
# 64-bit Wine runs the 64-bit build instead.
if [ -z "${QUILLORA_WINE_BITS:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    QUILLORA_WINE_BITS=32
  else
    QUILLORA_WINE_BITS=64
  fi
fi
if [ "$QUILLORA_WINE_BITS" = 64 ]; then
  WINEARCH=win64
  WINE=/usr/lib/wine/wine64
  WINESERVER=/usr/lib/wine/wineserver64
else
  WINEARCH=win32
  WINE=/usr/lib/wine/wine
  WINESERVER=/usr/lib/wine/wineserver32
fi
export QUILLORA_WINE_BITS WINEARCH WINE WINESERVER
