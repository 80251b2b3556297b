#!/bin/bash
# Fails when a program or library of the Windows build imports a DLL that
# Windows does not ship. Under Wine every such DLL is found in Wine's own system
# folder, so the tests pass while the product would not start on Windows; this
# check is what notices.
#
# Usage: check-imports.sh <objdump> <folder>
#   Checks every *.exe and *.dll directly in <folder> (the build's bin folder,
#   where every program lands) and prints what each imports.
set -uo pipefail

OBJDUMP=$1
DIR=$2

# DLLs that every Windows from 7 on ships in its system folder. Names are
# compared in lower case. Add a name only for a DLL that really is part of
# Windows: anything else has to be linked statically or shipped with the program.
SYSTEM_DLLS=(
  advapi32 bcrypt comctl32 comdlg32 crypt32 dbghelp dnsapi dwmapi gdi32 gdiplus
  imm32 iphlpapi kernel32 msimg32 msvcrt mswsock ncrypt netapi32 ntdll ole32
  oleaut32 psapi rpcrt4 secur32 setupapi shell32 shlwapi urlmon user32 userenv
  usp10 uxtheme version winhttp wininet winmm winspool.drv wldap32 ws2_32
)

declare -A allowed
for name in "${SYSTEM_DLLS[@]}"; do
  allowed[$name]=1
  allowed[$name.dll]=1
done

shopt -s nullglob nocaseglob
files=("$DIR"/*.exe "$DIR"/*.dll)
[ ${#files[@]} -gt 0 ] || { echo "check-imports: no .exe or .dll in $DIR" >&2; exit 1; }

bad=0
for file in "${files[@]}"; do
  if ! dump=$("$OBJDUMP" -p "$file" 2>&1); then
    echo "check-imports: $OBJDUMP cannot read $file: $dump" >&2
    bad=1
    continue
  fi
  mapfile -t dlls < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r' | sort -fu)
  # Every Windows program imports at least kernel32; an empty list means the
  # dump was not read as expected, not that the file is clean.
  if [ ${#dlls[@]} -eq 0 ]; then
    echo "check-imports: no imports listed for $file" >&2
    bad=1
    continue
  fi
  foreign=()
  for dll in "${dlls[@]}"; do
    [ -n "${allowed[${dll,,}]:-}" ] || foreign+=("$dll")
  done
  if [ ${#foreign[@]} -gt 0 ]; then
    echo "FAIL $(basename "$file") imports DLLs that Windows does not ship: ${foreign[*]}"
    bad=1
  else
    echo "ok   $(basename "$file"): ${dlls[*]}"
  fi
done
exit $bad
