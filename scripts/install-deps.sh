#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, when it is missing:
# cmake, g++ (its ThreadSanitizer runtime comes with it), clang with its
# sanitizer and libFuzzer runtimes (the fuzz targets), GoogleTest,
# libmspack, MinGW-w64 with its binutils (32-bit for the program, 64-bit
# for the medium's X64 stand-ins), msitools and wixl (the Windows
# Installer package), Wine (32-bit, which needs the i386 architecture, and
# 64-bit, for the 64-bit Windows prefixes), Xvfb, gcab, ImageMagick
# (screenshots), exiftool (to cross-check version resources), file (to
# check what setup.exe is), osslsigncode and openssl (the programs' and the
# package's signatures, and the build's test certificate) and the fonts the
# dialogs are drawn in: Wine's own
# Tahoma and Marlett (fonts-wine, which Wine only recommends, so that an
# install without recommendations lacks it) and a CJK font for Chinese texts.
set -euo pipefail
packages=(cmake g++ clang libclang-rt-14-dev make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev libmspack-dev
          g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine32:i386 wine64
          xvfb gcab imagemagick libimage-exiftool-perl x11-utils locales fonts-wine
          fonts-wqy-microhei file msitools wixl osslsigncode openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
