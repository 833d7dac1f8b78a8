#!/usr/bin/env bash
# Runs the real setup.exe on the sample medium under Wine on a virtual screen
# and keeps a picture of each step of the wizard, in English and in Chinese:
# the agreement, printer, mode, OS and port pages, the About box, and the
# agreement again after walking back. A small Windows program of ours
# (tools/wizard-driver) clicks through the wizard from another process as a
# person would and takes the pictures.
#
# The Chinese run uses the Chinese language file of the medium converted to
# GBK, LANGUAGE=0 (the wizard's own Chinese font) and a zh_CN.GBK locale, as
# on a Chinese Windows. Pictures go to BUILD/screenshots/wizard/{en,zh}-*.png.
#
# With --dpi N (96, 120, 144, 192, ...) the screen has N dots per inch, as a
# Windows display scaled to N/96 (150 per cent is 144): the pictures then go
# to BUILD/screenshots/wizard-Ndpi/.
#
# Usage: scripts/screenshots.sh [--dpi N] [BUILD]   (default: 96, ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dpi=96
if [ "${1:-}" = --dpi ]; then
  dpi=${2:?"--dpi needs a number of dots per inch"}
  case "$dpi" in ''|*[!0-9]*) echo "--dpi needs a number of dots per inch, not $dpi" >&2; exit 2 ;; esac
  shift 2
fi
"$root/scripts/install-deps.sh"
build=${1:-$root/build}
mkdir -p "$build"
build=$(cd "$build" && pwd)
runner="$root/tests/wine/run.sh"
out="$build/screenshots/wizard"
[ "$dpi" = 96 ] || out="$build/screenshots/wizard-${dpi}dpi"
state="$build/wine-screenshots"
work="$build/screenshots/.work"

# setup.exe and the sample medium, from the Windows side of the build.
cmake -S "$root" -B "$build/windows-program" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTESTDATA_DIR="$build/testdata" >/dev/null
cmake --build "$build/windows-program" --target medium -j2 >/dev/null
medium="$build/medium"
[ -f "$medium/setup.exe" ] || { echo "no setup.exe on the medium in $medium" >&2; exit 1; }

rm -rf "$work" "$out"
mkdir -p "$work" "$out"
i686-w64-mingw32-g++-posix -O2 -Wall -static -o "$work/wizard-driver.exe" \
  "$root/tools/wizard-driver/WizardDriver.cpp" -lgdi32

# The Chinese medium, which the build assembles beside the English one.
medium_zh="$build/medium-zh"
[ -f "$medium_zh/language/setup.ini" ] || { echo "no Chinese medium in $medium_zh" >&2; exit 1; }

# A Chinese locale, so that Wine's ANSI code page is GBK (936).
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.gbk'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo localedef -i zh_CN -f GBK zh_CN.GBK
fi

"$runner" start "$state" >/dev/null
trap '"$runner" stop "$state"' EXIT

# The fonts the dialogs have on Windows, with Chinese glyphs.
. "$state/session.env"
"$root/scripts/wine-fonts.sh" "$state/prefix"
# The screen's dots per inch, read by each program as it starts.
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  WINEPREFIX="$state/prefix" WINEDEBUG=-all wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
done
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

status=0
drive() {
  local language=$1 folder=$2
  shift 2
  mkdir -p "$work/$language"
  echo "== $language: $folder"
  (cd "$folder" && env "$@" "$runner" run "$state" "$work/wizard-driver.exe" "$(windows_path "$work/$language")") || status=1
  for bmp in "$work/$language"/*.bmp; do
    [ -e "$bmp" ] && convert "$bmp" "$out/$language-$(basename "${bmp%.bmp}").png"
  done
}
drive en "$medium" LANG=C.UTF-8
drive zh "$medium_zh" LANG=zh_CN.GBK LC_ALL=zh_CN.GBK
echo "pictures: $out ($(find "$out" -name '*.png' | wc -l) files)"
exit "$status"
