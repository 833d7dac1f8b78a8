#!/usr/bin/env bash
# Runs Windows test executables under Wine, headless.
#   run.sh start STATE [FIRST]   make a fresh 32-bit prefix, start Xvfb and a persistent wineserver;
#                                with FIRST, the state of a session already started, a second
#                                session beside it: a prefix of its own from FIRST's template, on
#                                FIRST's screen
#   run.sh run STATE EXE ARGS...   run EXE in that session; exit code 77 when
#                                  it passed but skipped a test (ctest shows it skipped);
#                                  with WINE_DPI set (96, 144, 192), on a screen of that
#                                  many dots per inch, the prefix's own setting put back after
#   run.sh stop STATE        end the session
#   run.sh template64 STATE  make the 64-bit (WoW64) prefix template, once, for
#                            the end-to-end scenarios on 64-bit Windows
# STATE is a directory of the build that keeps the prefix templates and the session.
set -euo pipefail
cmd=$1
mkdir -p "$2"
state=$(cd "$2" && pwd)  # Wine needs an absolute prefix
shift 2
template="$state/template"
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/xvfb.sh"
prefix="$state/prefix"
envfile="$state/session.env"

quiet_wine() { WINEDEBUG=-all "$@"; }

# The screen's dots per inch as Wine reads them when a program starts (both
# places), or deleted again when DPI is empty: Wine's default, 96.
set_dpi() {
  local dpi=$1 key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    if [ -n "$dpi" ]; then
      quiet_wine wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    else
      quiet_wine wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
    fi
  done
}

# make_template TEMPLATE WINEARCH: a fresh prefix with the settings every
# test prefix has, of either architecture (win32; win64, a 64-bit Windows
# that runs 32-bit programs as WOW64 does).
make_template() {
  local template=$1 arch=$2
  rm -rf "$template.tmp"
  mkdir -p "$state"
  WINEARCH=$arch WINEPREFIX="$template.tmp" quiet_wine wineboot -i >/dev/null 2>&1
  # Without a window manager, unmanaged windows save about 2 s per hide or destroy.
  WINEPREFIX="$template.tmp" quiet_wine wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  WINEPREFIX="$template.tmp" quiet_wine wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
  # A program that crashes ends at once instead of waiting in the debugger
  # until the test's timeout, and a crash of one of Wine's own background
  # programs under load does not have the debugger write its settings into
  # an end-to-end scenario's registry (what setup.exe and the driver end
  # with is checked by their exit codes).
  WINEPREFIX="$template.tmp" quiet_wine wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /d '' /f >/dev/null 2>&1
  # A 64-bit Windows keeps the setting twice, for 64-bit and for 32-bit
  # programs; "wine reg" is the 32-bit one, which writes the latter.
  if [ "$arch" = win64 ]; then
    WINEPREFIX="$template.tmp" quiet_wine wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /d '' /f /reg:64 >/dev/null 2>&1
  fi
  # The fonts the dialogs have on Windows, as scripts/run.sh gives its prefix.
  WINEPREFIX="$template.tmp" "$root/scripts/wine-fonts.sh" "$template.tmp"
  WINEPREFIX="$template.tmp" wineserver -w
  touch "$template.tmp/.ready"
  rm -rf "$template"
  mv "$template.tmp" "$template"
}

stop_session() {
  if [ -f "$envfile" ]; then
    # shellcheck disable=SC1090
    . "$envfile"
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -f "$envfile"
  fi
}

case "$cmd" in
  start)
    stop_session
    first=${1:-}
    if [ -n "$first" ]; then
      first=$(cd "$first" && pwd)
      template="$first/template"
    fi
    [ -f "$template/.ready" ] || make_template "$template" win32
    rm -rf "$prefix"
    cp -a "$template" "$prefix"
    if [ -n "$first" ]; then
      # shellcheck disable=SC1091
      display=$(. "$first/session.env" && echo "${DISPLAY#:}")
      xvfb_pid=""
    else
      start_xvfb 1280x1024x24
      display=${DISPLAY#:}
    fi
    printf 'export DISPLAY=:%s\nXVFB_PID=%s\n' "$display" "$xvfb_pid" >"$envfile"
    # Detach from our output: ctest waits for every holder of its pipe.
    DISPLAY=":$display" WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1
    # Start Wine's own services now, detached too, so that no test's output
    # pipe is inherited by them.
    DISPLAY=":$display" WINEPREFIX="$prefix" WINEDEBUG=-all wine reg query \
      'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger </dev/null >/dev/null 2>&1
    echo "wine session on display :$display with prefix $prefix"
    ;;
  run)
    exe=$1
    shift
    # shellcheck disable=SC1090
    . "$envfile"
    export WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all}
    output=$(mktemp)
    status=0
    if [ -n "${WINE_DPI:-}" ]; then
      set_dpi "$WINE_DPI"
      trap 'set_dpi ""' EXIT
    fi
    wine "$exe" "$@" 2>&1 | tee "$output" || status=${PIPESTATUS[0]}
    if [ "$status" -eq 0 ] && grep -q '^\[  SKIPPED \]' "$output"; then status=77; fi
    rm -f "$output"
    exit "$status"
    ;;
  stop)
    stop_session
    ;;
  template64)
    # Made only when a 64-bit scenario runs, and once for the scenarios
    # that run side by side: the first makes it, the others wait for it.
    template64="$state/template-win64"
    exec 9>"$state/template-win64.lock"
    flock 9
    if [ ! -f "$template64/.ready" ]; then
      started=$(date +%s%N)
      make_template "$template64" win64
      echo "64-bit prefix template made in $((($(date +%s%N) - started) / 1000000)) ms"
    fi
    ;;
  *)
    echo "usage: $0 start|run|stop|template64 STATE [EXE ARGS...]" >&2
    exit 2
    ;;
esac
