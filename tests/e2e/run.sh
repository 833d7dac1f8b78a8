#!/usr/bin/env bash
# Runs one end-to-end scenario in a Wine prefix of its own: a copy of the
# test session's prefix template with a copy of the sample medium in its
# C:\medium and, in its Windows folder, the Unidrv files a real system of
# that version keeps (the system fixtures beside the medium), on the
# session's virtual screen. Scenarios run side by side,
# each with its own wineserver. What a failed run leaves (its prefix, the
# driver's report and a picture of the screen) is kept in STATE/e2e/NAME.
#   run.sh STATE DRIVER MEDIUM WINDOWS SCENARIO
set -euo pipefail
state=$(cd "$1" && pwd)
driver=$2
medium=$3
windows=$4
scenario=$5
# shellcheck disable=SC1091
. "$state/session.env"
export DISPLAY
work="$state/e2e/$windows-$scenario"
rm -rf "$work"
mkdir -p "$work"
cp -a "$state/template" "$work/prefix"
cp -a "$medium" "$work/prefix/drive_c/medium"
fixtures="$(dirname "$medium")/system-fixtures"
# Libraries someone else placed beside setup.exe (the program must load neither).
if [ "$scenario" = PlantedLibraries ]; then
  for name in version.dll winspool.drv; do
    cp "$(dirname "$medium")/testdata/planted-library.dll" "$work/prefix/drive_c/medium/$name"
  done
fi
# The Windows Installer packages of the medium, as a deployment tool finds them.
case "$scenario" in
  Package*)
    mkdir -p "$work/prefix/drive_c/package"
    cp "$(dirname "$medium")/PrinterDriverSetup.msi" "$(dirname "$medium")/testdata/PrinterDriverSetup-next.msi" \
      "$work/prefix/drive_c/package/" ;;
esac
windir="$work/prefix/drive_c/windows"
case "$windows" in
  win2k|winxp|win2003)
    mkdir -p "$windir/Driver Cache/i386"
    cp "$fixtures/driver-cache/"*.cab "$windir/Driver Cache/i386/" ;;
  vista|win2008|win7)
    mkdir -p "$windir/system32/DriverStore/FileRepository"
    cp -a "$fixtures/driver-store/." "$windir/system32/DriverStore/FileRepository/" ;;
  win8|win81|win10)
    mkdir -p "$windir/system32/DriverStore/FileRepository"
    cp -a "$fixtures/driver-store-8/." "$windir/system32/DriverStore/FileRepository/" ;;
esac
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
audit="$(dirname "$0")/audit.sh"
# The ended wineserver has written the registry out for the pictures.
endWine() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
status=0
wine "$driver" prepare "$scenario" "$windows" 'C:\medium' </dev/null >"$work/report.txt" 2>&1 || status=$?
endWine
"$audit" picture "$work/prefix" "$work/before.txt"
# Into the report file, not through a pipe: a program setup.exe started and
# left running (an installer stopped at a question) would hold a pipe open.
wine "$driver" "$scenario" "$windows" 'C:\medium' "Z:${work//\//\\}" </dev/null >"$work/run.txt" 2>&1 || status=$?
cat "$work/run.txt" | tee -a "$work/report.txt"
endWine
# What the scenario changed, on every Windows version: only what it may.
"$audit" picture "$work/prefix" "$work/after.txt"
changes=$(sed -n 's/^changes: //p' "$work/report.txt" | tr -d '\r')
"$audit" compare "$work/before.txt" "$work/after.txt" "$medium" "$changes" 2>&1 | tee -a "$work/report.txt" ||
  status=${PIPESTATUS[0]}
if [ "$status" -eq 0 ]; then
  rm -rf "$work"
else
  [ -f "$work/failure.bmp" ] && convert "$work/failure.bmp" "$work/failure.png" 2>/dev/null && rm -f "$work/failure.bmp"
  echo "kept for a look: $work"
fi
exit "$status"
