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
tool="$build/windows/ui/render_dialogs.exe"
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

# Wine's own fonts (Tahoma for "MS Shell Dlg", Marlett for the caption
# buttons) are not found in its data directory on these machines; give them
# to the prefix, so dialogs show the face they would on Windows.
fonts_dir="$state/prefix/drive_c/windows/Fonts"
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$font" ] && cp "$font" "$fonts_dir/"
done

# Make the prefix look like Windows with East Asian support: the dialog and
# caption fonts fall back on a CJK font for Chinese glyphs (font linking),
# and SimSun ("宋体"), which the wizard asks for, is stood in for by
# WenQuanYi Micro Hei.
fonts_reg="$state/fonts.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for face in Tahoma "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif" Arial System; do
    printf '"%s"=hex(7):' "$face"
    printf 'wqy-microhei.ttc,WenQuanYi Micro Hei' | iconv -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//'
    printf '00,00,00,00\r\n'
  done
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n'
} | iconv -f UTF-8 -t UTF-16 >"$fonts_reg"
"$runner" run "$state" regedit /S "$(windows_path "$fonts_reg")"

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
