#!/usr/bin/env bash
# Checks that Windows programs and libraries load on every Windows they must
# at least start on: Windows 98 SE, Me and NT 4.0 SP6 (where setup.exe shows
# its refusal) and every later one. Windows' loader refuses a file whose
# imported function its DLL does not export, before any code runs; Wine
# exports everything whatever version it reports, so only the import table
# tells. Each file must be a 32-bit x86 PE file, linked statically (no MinGW
# DLL beside it), and import only functions of the list, each exported from
# Windows 98 on and from NT 4.0 on.
# The medium's 64-bit builds lie in X64 and USBDrv\X64 (any folder named X64)
# and must be x64 (AMD64) files there, as every file elsewhere must be x86: a
# 64-bit Windows refuses to load a DLL of the other architecture, and Wine
# never checks. They run on 64-bit Windows 7 and later alone (the program
# installs them nowhere else), so their floor is NT 6.1: every import must
# still be in the list, researched like the others, but the Windows 98 and
# NT 4.0 columns do not bind them.
#   check-pe.sh [--dlls DLLS] LIST FILE|FOLDER...
# LIST: tab-separated "dll function oldest-9x oldest-nt source" lines; a
# FOLDER stands for every .exe and .dll file in it and below it. With
# --dlls, the files may import from the DLLs named in DLLS alone (its first
# column): the ones Windows never takes from the program's own folder.
set -euo pipefail
dlls=""
if [ "${1:-}" = "--dlls" ]; then
  dlls=$2
  shift 2
fi
list=$1
shift
objdump32=$(command -v i686-w64-mingw32-objdump || command -v objdump)
objdump64=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)

# Release order of each line's Windows, so that "not later than" is a comparison.
rank9x() { case "$1" in 95) echo 1 ;; 98) echo 2 ;; me) echo 3 ;; *) echo 99 ;; esac; }
ranknt() {
  case "$1" in
    3.1) echo 1 ;; 3.5) echo 2 ;; 3.51) echo 3 ;; 4.0) echo 4 ;; 2000) echo 5 ;; xp) echo 6 ;;
    2003) echo 7 ;; vista) echo 8 ;; 7) echo 9 ;; *) echo 99 ;;
  esac
}
floor9x=$(rank9x 98)
floornt=$(ranknt 4.0)
floornt64=$(ranknt 7)

declare -A allowed
if [ -n "$dlls" ]; then
  while IFS=$'\t' read -r dll _; do
    [[ -z "$dll" || "$dll" == \#* ]] && continue
    allowed["$dll"]=1
  done <"$dlls"
fi

declare -A oldest
while IFS=$'\t' read -r dll function old9x oldnt _; do
  [[ -z "$dll" || "$dll" == \#* ]] && continue
  oldest["$dll!$function"]="$old9x $oldnt"
done <"$list"

files=()
for argument in "$@"; do
  if [ -d "$argument" ]; then
    while IFS= read -r found; do files+=("$found"); done < <(find "$argument" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
  else
    files+=("$argument")
  fi
done
[ ${#files[@]} -gt 0 ] || { echo "no Windows program to check in: $*" >&2; exit 1; }

status=0
for file in "${files[@]}"; do
  kind=$(file -b "$file")
  if [[ "${file,,}" == */x64/* ]]; then
    case "$kind" in
      "PE32+ executable"*"x86-64"*) ;;
      *) echo "$file is in an X64 folder but is not a 64-bit x64 Windows program or library: $kind" >&2; status=1; continue ;;
    esac
    objdump=$objdump64 bits=64 floor="64-bit Windows 7"
  else
    case "$kind" in
      "PE32 executable"*"Intel 80386"*) ;;
      *) echo "$file is not a 32-bit x86 Windows program or library: $kind" >&2; status=1; continue ;;
    esac
    objdump=$objdump32 bits=32 floor="Windows 98 and NT 4.0"
  fi
  imports=$("$objdump" -p "$file" | awk '
    /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
    /^[[:space:]]*$/ { dll = "" }
    dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ && NF >= 3 { print dll "!" $3 }
    dll != "" && /<none>|[Oo]rdinal/ { print dll "!#ordinal" }')
  [ -n "$imports" ] || { echo "$file imports nothing: objdump found no import table" >&2; status=1; continue; }
  bad=0
  if [ -n "$dlls" ]; then
    for dll in $(cut -d'!' -f1 <<<"$imports" | sort -u); do
      if [ -z "${allowed[$dll]:-}" ]; then
        echo "$file imports from $dll, which Windows would load from the program's own folder if one lay there: load it at run time by its full path" >&2
        bad=1
      fi
    done
  fi
  while IFS= read -r import; do
    entry=${oldest[$import]:-}
    if [ -z "$entry" ]; then
      echo "$file: ${import/!/ } is not in the list of known Windows exports" >&2
      bad=1
      continue
    fi
    read -r old9x oldnt <<<"$entry"
    too_new=0
    if [ "$bits" -eq 64 ]; then
      [ "$(ranknt "$oldnt")" -gt "$floornt64" ] && too_new=1
    elif [ "$(rank9x "$old9x")" -gt "$floor9x" ] || [ "$(ranknt "$oldnt")" -gt "$floornt" ]; then
      too_new=1
    fi
    if [ "$too_new" -eq 1 ]; then
      echo "$file: ${import/!/ } first exported by Windows $old9x (9x) / $oldnt (NT): too new for $floor" >&2
      bad=1
    fi
  done <<<"$imports"
  [ $bad -eq 0 ] && echo "ok  $file: $(wc -l <<<"$imports") imported functions, all from $floor on"
  [ $bad -eq 0 ] || status=1
done
exit $status
