#!/usr/bin/env bash
# Builds setup.exe, assembles the sample installation medium and runs the
# wizard from it under Wine, as a user would start it from the medium.
#
# With a display (DISPLAY set) the wizard appears there and is the user's.
# Without one it runs on a virtual screen (Xvfb), and a small program of ours
# (tools/wizard-driver) walks a typical installation with the preselected
# model and port, as a person would, keeping a picture of each step in
# BUILD/screenshots/.
#
# Usage: scripts/run.sh            build in ./build-run (BUILD_DIR=... for another)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build=${BUILD_DIR:-$root/build-run}
mkdir -p "$build"
build=$(cd "$build" && pwd)  # Wine needs absolute paths

# The Windows side alone (the program and its medium, no tests), laid out as
# in the full build: the MinGW build in BUILD/windows-program, the medium in BUILD/medium.
cmake -S "$root" -B "$build/windows-program" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTESTDATA_DIR="$build/testdata" >/dev/null
cmake --build "$build/windows-program" --target medium system-fixtures -j2
medium="$build/medium"
[ -f "$medium/setup.exe" ] || { echo "no setup.exe on the medium in $medium" >&2; exit 1; }

# A prefix of our own, made once per build directory.
export WINEPREFIX="$build/wineprefix" WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "making a Wine prefix in $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  # Without Mono and Gecko, which the program does not use: no download prompt.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  # No desktop entries for what runs here.
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
  "$root/scripts/wine-fonts.sh" "$WINEPREFIX"
  # What Windows 7, the version Wine reports, keeps in its driver store and
  # Wine lacks: the Unidrv support files (stand-ins, like the medium's parts).
  mkdir -p "$WINEPREFIX/drive_c/windows/system32/DriverStore/FileRepository"
  cp -a "$build/system-fixtures/driver-store/." "$WINEPREFIX/drive_c/windows/system32/DriverStore/FileRepository/"
  wineserver -w
fi

xvfb_pid=""
finish() {
  # The wineserver must not outlive the display it was started with.
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  true
}
trap finish EXIT

if [ -n "${DISPLAY:-}" ]; then
  # On a real desktop the window manager decorates and moves the windows.
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
  echo "running $medium/setup.exe"
  status=0
  (cd "$medium" && wine setup.exe) || status=$?
  echo "setup.exe ended with exit code $status"
  exit "$status"
fi

. "$root/scripts/xvfb.sh"
start_xvfb 1024x768x24
# Without a window manager, unmanaged windows hide and close at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
shots="$build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
walker="$build/wizard-driver.exe"
i686-w64-mingw32-g++-posix -O2 -Wall -static -o "$walker" "$root/tools/wizard-driver/WizardDriver.cpp" -lgdi32
echo "no display: running $medium/setup.exe on Xvfb $DISPLAY; a typical installation is walked for you"
status=0
(cd "$medium" && wine "$walker" "Z:${shots//\//\\}" install) || status=$?
for picture in "$shots"/*.bmp; do
  [ -e "$picture" ] && convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
echo "screenshots of each step: $shots ($(find "$shots" -name '*.png' | wc -l) pictures)"
echo "the walk ended with exit code $status"
exit "$status"
