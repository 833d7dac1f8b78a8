#!/usr/bin/env bash
# Runs one end-to-end scenario in a Wine prefix of its own: a copy of the
# test session's prefix template with a copy of the sample medium in its
# C:\medium and, in its Windows folder, the Unidrv files a real system of
# that version keeps (the system fixtures beside the medium), on the
# session's virtual screen. Scenarios run side by side,
# each with its own wineserver. What a failed run leaves (its prefix, the
# driver's report and a picture of the screen) is kept in STATE/e2e/NAME.
# WINDOWS ending in "x64" (win7x64, win81x64, win10x64) is that Windows,
# 64-bit: a copy of the 64-bit (WoW64) template, made the first time one is
# asked for.
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
# A walk by the keyboard alone types into whatever window has the screen's
# focus: beside other scenarios on the session's screen, their windows take
# it at times, so such a walk has a screen of its own.
case "$scenario" in
  Keyboard*)
    # shellcheck disable=SC1091
    . "$(dirname "$0")/../../scripts/xvfb.sh"
    start_xvfb 1024x768x24
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT ;;
esac
work="$state/e2e/$windows-$scenario"
rm -rf "$work"
mkdir -p "$work"
template="$state/template" arch=x86
case "$windows" in
  *x64)
    "$(dirname "$0")/../wine/run.sh" template64 "$state"
    template="$state/template-win64" arch=x64 ;;
esac
cp -a "$template" "$work/prefix"
cp -a "$medium" "$work/prefix/drive_c/medium"
fixtures="$(dirname "$medium")/system-fixtures"
# Libraries someone else placed beside setup.exe (the program must load none):
# those it loads at run time, and those a message box's drawing loads.
planted=""
case "$scenario" in
  PlantedLibraries) planted="version.dll winspool.drv" ;;
  UsageBesidePlantedLibraries) planted="uxtheme.dll msimg32.dll" ;;
esac
for name in $planted; do
  cp "$(dirname "$medium")/testdata/planted-library.dll" "$work/prefix/drive_c/medium/$name"
done
# A folder every user may write, to install the package into or below.
case "$scenario" in
  PackageIntoAFolderOthersMayWrite|PackageUnderAFolderOthersMayRename) mkdir -m 0777 "$work/prefix/drive_c/shared" ;;
esac
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
  win7x64)
    mkdir -p "$windir/system32/DriverStore/FileRepository"
    cp -a "$fixtures/driver-store-x64/." "$windir/system32/DriverStore/FileRepository/" ;;
  win81x64|win10x64)
    mkdir -p "$windir/system32/DriverStore/FileRepository"
    cp -a "$fixtures/driver-store-8-x64/." "$windir/system32/DriverStore/FileRepository/" ;;
esac
# What only Wine needs on a 64-bit Windows, never the program's to place:
# Wine runs the spooler inside the calling process, so setup.exe, a 32-bit
# process, has 32-bit monitor DLLs loaded from SysWOW64 whatever environment
# it names (Windows' own 64-bit spooler loads the 64-bit ones from the
# native system32), and its AddPrinter needs the x86 driver of the printer's
# driver name, which Windows adds as the additional driver for 32-bit
# clients from the x86 printing package, here beside the x64 one.
case "$windows" in
  *x64)
    for name in $(sed -n 's/^[A-Za-z]*\(PDLLName\|LMONitorDLLName\)=//p' "$medium/DRVCONFIG/setup.ini" | tr -d '\r' | sort -u); do
      cp "$medium/W32/$name" "$windir/syswow64/$name"
    done
    case "$windows" in
      win7x64) cp -a "$fixtures/driver-store/." "$windir/system32/DriverStore/FileRepository/" ;;
      *) cp -a "$fixtures/driver-store-8/." "$windir/system32/DriverStore/FileRepository/" ;;
    esac
    # Windows 7 and later spare system32\DriverStore their redirection, so a
    # 32-bit program sees the one store; Wine 8 redirects it to SysWOW64.
    mkdir -p "$windir/syswow64/DriverStore"
    cp -a "$windir/system32/DriverStore/FileRepository" "$windir/syswow64/DriverStore/" ;;
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
"$audit" compare "$work/before.txt" "$work/after.txt" "$medium" "$changes" "$arch" 2>&1 | tee -a "$work/report.txt" ||
  status=${PIPESTATUS[0]}
if [ "$status" -eq 0 ]; then
  rm -rf "$work"
  exit 0
fi
[ -f "$work/failure.bmp" ] && convert "$work/failure.bmp" "$work/failure.png" 2>/dev/null && rm -f "$work/failure.bmp"
# Rarely, with many prefixes starting side by side, Wine shows a program
# started in a new prefix no window at all (seen once in some twenty full
# runs, never alone). Such a run, and only such, runs once more from a fresh
# copy and says so; a program that never shows its first window fails both.
if [ -z "${E2E_SECOND_RUN:-}" ] && grep -q '^FAILED: waited for the \(usage box\|wizard window\) (setup.exe still running' "$work/report.txt"; then
  rm -rf "$work-first-run"
  mv "$work" "$work-first-run"
  echo "setup.exe showed no first window; its run is kept in $work-first-run, and the scenario runs once more"
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  E2E_SECOND_RUN=1 exec "$0" "$@"
fi
echo "kept for a look: $work"
exit "$status"
