#!/usr/bin/env bash
# The audit of a scenario: what changed in a prefix's registry and on its
# system drive (all of it but the medium) between two pictures, each change
# checked against the keys and files a scenario of its kind may change.
#   audit.sh picture PREFIX FILE        writes the prefix's picture to FILE
#   audit.sh compare BEFORE AFTER MEDIUM KIND [x64]   prints every change
#                                          outside the places a scenario of KIND
#                                          may change; exit code 1 when there is
#                                          one. x64: on a 64-bit Windows, where
#                                          each section's "x64-" twin holds too
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
      # The whole system drive but the medium. A folder's own time changes
      # with what it holds: only files have one here.
      (cd "$prefix/drive_c" && find . -path ./medium -prune -o -type d ! -name . -printf 'FILE:%P|d\n' &&
        find . -path ./medium -prune -o ! -type d -printf 'FILE:%P|%y|%s|%T@\n')
    } | LC_ALL=C sort >"$3"
    ;;
  compare)
    # compare BEFORE AFTER MEDIUM KIND: KIND is what the scenario may change:
    # none (a refusal, a failed quiet run, a bad command line), usb-class-driver
    # (a refusal after the USB class driver was brought up to date, which
    # comes first), installation, removal (what an installation and the
    # removal after it leave), and the same three for the package:
    # package-failed, package, package-removal.
    before=$2 after=$3 medium=$4 kind=$5 arch=${6:-x86}
    case "$kind" in
      none) sections="always" ;;
      usb-class-driver) sections="always usb-class-driver" ;;
      installation) sections="always usb-class-driver installation" ;;
      removal) sections="always usb-class-driver removal" ;;
      package-failed) sections="always package-failed" ;;
      package) sections="always usb-class-driver installation package" ;;
      package-removal) sections="always usb-class-driver removal package-removal" ;;
      *) echo "no such kind of scenario: $kind" >&2; exit 2 ;;
    esac
    if [ "$arch" = x64 ]; then
      for section in $sections; do sections="$sections x64-$section"; done
    fi
    allowed=$(mktemp)
    awk -v sections=" $sections " '
      /^\[/ { section = substr($0, 2, length($0) - 2); next }
      /^#/ || /^$/ { next }
      index(sections, " " section " ") > 0 { print }' \
      "$here/allowed-writes.txt" >"$allowed"
    if [[ " $sections " == *" installation "* || " $sections " == *" removal "* ]]; then
      # The medium's own files, by name, where an installation puts them: the
      # system directory (monitors, also under the prefixed name a file in use
      # is written as), the driver directory and its "3", the processors'.
      # After a removal, the drivers' files the spooler keeps.
      for file in "$medium"/W32/*; do
        name=$(basename "$file" | sed 's/[.]/[.]/g')
        echo "^FILE:windows/system32/(spool/(drivers/w32x86(/3)?|prtprocs/w32x86)/)?n?$name\|" >>"$allowed"
      done
      # On a 64-bit Windows the x64 driver's and processor's folders too, and
      # the native system folder (the prefix's system32) for the monitors.
      if [ "$arch" = x64 ]; then
        for file in "$medium"/X64/* "$medium"/W32/*; do
          [ -e "$file" ] || continue
          name=$(basename "$file" | sed 's/[.]/[.]/g')
          echo "^FILE:windows/system32/spool/(drivers/x64(/3)?|prtprocs/x64)/n?$name\|" >>"$allowed"
        done
      fi
    fi
    changes=$(LC_ALL=C comm -3 "$before" "$after" | sed 's/^\t//')
    outside=$(grep -v -i -E -f "$allowed" <<<"$changes" || true)
    rm -f "$allowed"
    if [ -n "$outside" ]; then
      echo "the scenario ($kind) wrote where it should not:"
      echo "$outside" | cut -c1-200 | head -n 200
      exit 1
    fi
    echo "the scenario ($kind) wrote only where it may: $(grep -c . <<<"$changes") changes"
    ;;
esac
