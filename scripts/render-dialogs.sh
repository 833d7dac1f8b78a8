#!/usr/bin/env bash
# Renders every dialog of the program to PNG files for review, under Xvfb and
# Wine, into BUILD/screenshots/dialogs/:
#   template-*.png  the templates as compiled, with their own texts and font
#   en-*.png        the English texts of the sample medium, template font
#   zh-*.png        the Chinese texts with the alternate dialog font (宋体, 13,
#                   GB2312), as the wizard shows them when LANGUAGE is 0
# Usage: scripts/render-dialogs.sh [BUILD]   (default: ./build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runner="$root/tests/wine/run.sh"
tool="$build/windows/tools/render/render_dialogs.exe"
out="$build/screenshots/dialogs"
state="$build/wine-render"

cmake "$build/windows" >/dev/null
cmake --build "$build/windows" --target render_dialogs -j2 >/dev/null
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 1; }
fc-list : family | grep -i wqy >/dev/null || echo "note: no CJK font found (fonts-wqy-microhei); Chinese glyphs may be missing" >&2

# Wine sees the host's file system as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

"$runner" start "$state" >/dev/null
trap '"$runner" stop "$state"' EXIT

# The fonts the dialogs have on Windows, with Chinese glyphs.
. "$state/session.env"
"$root/scripts/wine-fonts.sh" "$state/prefix"

rm -rf "$out"
mkdir -p "$out"
render() {
  local prefix=$1
  shift
  local raw="$out/.$prefix"
  mkdir -p "$raw"
  "$runner" run "$state" "$tool" "$(windows_path "$raw")" "$@"
  for bmp in "$raw"/*.bmp; do
    convert "$bmp" "$out/$prefix-$(basename "${bmp%.bmp}").png"
  done
  rm -rf "$raw"
}
render template
render en --texts "$(windows_path "$root/medium/language/setup.ini")" \
  --license "$(windows_path "$root/medium/License.txt")"
render zh --alternate-font --texts "$(windows_path "$root/medium/zh/language/setup.ini")" \
  --license "$(windows_path "$root/medium/License.txt")"
echo "dialogs rendered into $out"
