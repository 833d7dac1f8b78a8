#!/usr/bin/env bash
# Gives a Wine prefix the fonts the wizard's dialogs have on Windows:
# Wine's own Tahoma (for "MS Shell Dlg") and Marlett (the caption buttons),
# which Debian's Wine does not find in its data directory, and, for Chinese
# texts, font linking of the dialog faces to a CJK font with SimSun ("宋体"),
# which the wizard asks for, stood in for by WenQuanYi Micro Hei.
#
# Usage: scripts/wine-fonts.sh PREFIX   (with WINEPREFIX's wineserver reachable)
set -euo pipefail
prefix=$1
for font in /usr/share/wine/fonts/*.ttf; do
  [ -e "$font" ] && cp "$font" "$prefix/drive_c/windows/Fonts/"
done
fonts_reg="$prefix/fonts.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for face in Tahoma "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" \
      "MS Sans Serif" Arial System; do
    printf '"%s"=hex(7):' "$face"
    printf 'wqy-microhei.ttc,WenQuanYi Micro Hei' | iconv -t UTF-16LE | od -An -tx1 -v |
      tr -s ' \n' ',' | sed 's/^,//'
    printf '00,00,00,00\r\n'
  done
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n'
} | iconv -f UTF-8 -t UTF-16 >"$fonts_reg"
WINEPREFIX="$prefix" WINEDEBUG=-all wine regedit /S "Z:${fonts_reg//\//\\}" >/dev/null 2>&1
