#!/usr/bin/env bash
# Builds setup.exe, assembles the sample installation medium and runs the
# wizard from it under Wine, as a user would start it from the medium.
#
# With a display (DISPLAY set) the wizard appears there. Without one it runs
# on a virtual screen (Xvfb), and a screenshot of that screen is taken about
# every second into BUILD/screenshots/.
#
# Usage: scripts/run.sh            build in ./build-run (BUILD_DIR=... for another)
#   RUN_SECONDS=N scripts/run.sh   end the wizard after N seconds (for a headless look)
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
cmake --build "$build/windows-program" --target medium -j2
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
  wineserver -w
fi

xvfb_pid=""
shooter_pid=""
finish() {
  [ -n "$shooter_pid" ] && kill "$shooter_pid" 2>/dev/null
  # The wineserver must not outlive the display it was started with.
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  true
}
trap finish EXIT

shots=""
if [ -z "${DISPLAY:-}" ]; then
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  display=$(head -n1 <"$fifo")
  rm -f "$fifo"
  export DISPLAY=":$display"
  # Without a window manager, unmanaged windows hide and close at once.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  shots="$build/screenshots"
  rm -rf "$shots"
  mkdir -p "$shots"
  (
    n=0
    while :; do
      import -window root "$shots/$(printf 'screen-%04d.png' "$n")" 2>/dev/null || true
      n=$((n + 1))
      sleep 1
    done
  ) &
  shooter_pid=$!
  echo "no display: running on Xvfb $DISPLAY, screenshots every second in $shots"
else
  # On a real desktop the window manager decorates and moves the windows.
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi

echo "running $medium/setup.exe"
status=0
if [ -n "${RUN_SECONDS:-}" ]; then
  (cd "$medium" && exec wine setup.exe) &
  program=$!
  for _ in $(seq "$RUN_SECONDS"); do
    kill -0 "$program" 2>/dev/null || break
    sleep 1
  done
  if kill -0 "$program" 2>/dev/null; then
    echo "ending the wizard after $RUN_SECONDS s"
    [ -n "$shots" ] && import -window root "$shots/screen-last.png" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
  fi
  wait "$program" || status=$?
else
  (cd "$medium" && wine setup.exe) || status=$?
fi
if [ -n "$shots" ]; then
  [ -e "$shots/screen-last.png" ] || import -window root "$shots/screen-last.png" 2>/dev/null || true
  echo "screenshots: $shots ($(find "$shots" -name '*.png' | wc -l) files)"
fi
echo "setup.exe ended with exit code $status"
exit "$status"
