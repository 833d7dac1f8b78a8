#!/usr/bin/env bash
# Checks that a program is a 32-bit Windows executable for x86 that needs
# nothing but Windows' own DLLs: linked statically, it must run from a bare
# medium on a machine that has no MinGW runtime.
#   check-pe.sh FILE.exe
set -euo pipefail
exe=$1
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)

kind=$(file -b "$exe")
case "$kind" in
  "PE32 executable"*"Intel 80386"*) ;;
  *) echo "$exe is not a 32-bit x86 Windows program: $kind" >&2; exit 1 ;;
esac

# DLLs every supported Windows (2000 to 7) has in its system directory.
allowed='^(kernel32|user32|gdi32|advapi32|winspool\.drv|setupapi|version|shell32|comctl32|comdlg32|msvcrt|ole32|oleaut32|shlwapi|ws2_32|imm32|uxtheme|ntdll)(\.dll)?$'
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "$exe imports no DLL at all: objdump found no import table" >&2; exit 1; }
status=0
while IFS= read -r dll; do
  lower=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
  if [[ "$lower" =~ $allowed ]]; then
    echo "ok       $dll"
  else
    echo "FOREIGN  $dll (not part of Windows)" >&2
    status=1
  fi
done <<<"$imports"
exit $status
