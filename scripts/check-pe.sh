#!/usr/bin/env bash
# Checks that Windows programs and libraries load on every Windows they must
# at least start on: Windows 98 SE, Me and NT 4.0 SP6 (where setup.exe shows
# its refusal) and every later one. Windows' loader refuses a file whose
# imported function its DLL does not export, before any code runs; Wine
# exports everything whatever version it reports, so only the import table
# tells. Each file must be a 32-bit x86 PE file, linked statically (no MinGW
# DLL beside it), and import only functions of the list, each exported from
# Windows 98 on and from NT 4.0 on.
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
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)

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
  case "$kind" in
    "PE32 executable"*"Intel 80386"*) ;;
    *) echo "$file is not a 32-bit x86 Windows program or library: $kind" >&2; status=1; continue ;;
  esac
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
    if [ "$(rank9x "$old9x")" -gt "$floor9x" ] || [ "$(ranknt "$oldnt")" -gt "$floornt" ]; then
      echo "$file: ${import/!/ } first exported by Windows $old9x (9x) / $oldnt (NT): too new" >&2
      bad=1
    fi
  done <<<"$imports"
  [ $bad -eq 0 ] && echo "ok  $file: $(wc -l <<<"$imports") imported functions, all from Windows 98 and NT 4.0 on"
  [ $bad -eq 0 ] || status=1
done
exit $status
