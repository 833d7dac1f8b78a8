#!/usr/bin/env bash
# The audit of an installation: what changed in a prefix's registry and
# Windows folder between two pictures, each change checked against the
# places the program is meant to write.
#   audit.sh picture PREFIX FILE        writes the prefix's picture to FILE
#   audit.sh compare BEFORE AFTER MEDIUM   prints every change outside those
#                                          places; exit code 1 when there is one
# A picture is taken with the prefix's wineserver ended, so that the
# registry files hold everything.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

registry() {  # FILE ROOT: one line per key and per value: ROOT\key|value
  awk -v root="$2" '
    function flush() { if (value != "") print key "|" value; value = "" }
    /^\[/ { flush(); key = $0; sub(/^\[/, "", key); sub(/\]( [0-9]+)?$/, "", key)
            gsub(/\\\\/, "\\", key); key = root "\\" key; print key; next }
    /^#/ || /^WINE REGISTRY/ || /^;/ { next }
    /^$/ { flush(); next }
    { if (value != "") value = value $0; else value = $0
      if (value ~ /\\$/) { sub(/\\$/, "", value); next } flush() }
    END { flush() }' "$1"
}

case "$1" in
  picture)
    prefix=$2
    {
      registry "$prefix/system.reg" HKLM
      registry "$prefix/user.reg" HKCU
      # A folder's own time changes with what it holds: only files have one here.
      (cd "$prefix/drive_c" && find windows -type d -printf 'FILE:%p|d\n' &&
        find windows ! -type d -printf 'FILE:%p|%y|%s|%T@\n')
    } | LC_ALL=C sort >"$3"
    ;;
  compare)
    before=$2 after=$3 medium=$4
    allowed=$(mktemp)
    grep -v '^#' "$here/allowed-writes.txt" | grep -v '^$' >"$allowed"
    # The medium's own files may land in the system directory, also under
    # the prefixed name a file in use is written as.
    for file in "$medium"/W32/*; do
      name=$(basename "$file" | sed 's/[.]/[.]/g')
      echo "^FILE:windows/system32/n?$name\|" >>"$allowed"
    done
    outside=$(LC_ALL=C comm -3 "$before" "$after" | sed 's/^\t//' | grep -v -i -E -f "$allowed" || true)
    rm -f "$allowed"
    if [ -n "$outside" ]; then
      echo "the installation wrote where it should not:"
      echo "$outside" | cut -c1-200 | head -n 40
      exit 1
    fi
    echo "the installation wrote only where it is meant to"
    ;;
esac
