#!/usr/bin/env bash
# Benchmarks, each a ratio of two figures measured side by side in one run.
#
#  1. The install sequence's own cost on the simulated machine (native,
#     optimised, without sanitizers): its waits are virtual and reported as a
#     counter, the real time is the rest.
#  2. Under Wine (a virtual screen and a prefix of their own, made from
#     scratch in build-bench/):
#     a. the start of setup.exe, from its process start to its first visible
#        window, against two dialog programs (tools/benchmark): a trivial one
#        with the same imports and manifest, at most 1.3 times, and a themed
#        one that loads only what a themed wizard must (the common controls
#        version 6 through its manifest, and shell32), at most 1.2 times;
#        each judged by the median of the rounds' own ratios (the two
#        programs of a round start under the same load), the medians beside;
#     b. the wizard's start with 1,000 models against 10 (copies of the sample
#        medium whose model list has that many entries over the four
#        categories, and which open on the printer page, so that the list is
#        read before the wizard shows): at most 1.5 times;
#     c. a whole installation (the end-to-end scenario Parallel on Windows XP:
#        a typical parallel-port installation), from the click on Install to
#        the closing message (from the wizard's install log, untraced),
#        against the sum of the waits setup.exe makes (its Sleep calls and
#        the progress window's timer, read from Wine's relay trace of one more
#        installation): at most 1.05 times that sum plus the time the program
#        spent copying files (its CopyFileA and cabinet extraction calls, from
#        the same trace).
#
# Prints each ratio with its figures and ends with a non-zero status when a
# ratio misses its bound. Arguments go to the native benchmark.
#   BENCH_RUNS=N      starts of each program in 2a/2b (default 15; medians; on
#                     a machine that others load, 100 or more give a stable ratio)
#   BENCH_INSTALLS=N  installations in 2c (default 3; median)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build-bench"
runs=${BENCH_RUNS:-15}
installs=${BENCH_INSTALLS:-3}
missed=0

# --- 1. The install sequence on the simulated machine ------------------------------
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target install_benchmark
"$build/benchmarks/install_benchmark" "$@"

# --- 2. Under Wine ---------------------------------------------------------------
# The Windows program part as scripts/run.sh builds it, with the timer and its yardsticks.
cmake -S "$root" -B "$build/windows-program" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTESTDATA_DIR="$build/testdata" >/dev/null
cmake --build "$build/windows-program" --target medium system-fixtures start-timer trivial-dialog \
  themed-dialog -j2
tools="$build/windows-program/tools/benchmark"
medium="$build/medium"
[ -f "$medium/setup.exe" ] || { echo "no setup.exe on the medium in $medium" >&2; exit 1; }
# The end-to-end driver walks the installation, as tests/e2e/run.sh has it walk.
driver="$build/e2e-driver.exe"
i686-w64-mingw32-g++-posix -O2 -Wall -static -I"$root" -o "$driver" "$root/tests/e2e/EndToEndDriver.cpp" \
  -lwinspool -ladvapi32 -luser32 -lgdi32

winpath() { local p=$1; echo "Z:${p//\//\\}"; }

work="$build/bench"
rm -rf "$work"
mkdir -p "$work"
export WINEARCH=win32 WINEDEBUG=-all
unset DISPLAY

# A prefix made from scratch, as scripts/run.sh makes its own; the starts run
# in it and each installation in a copy of it.
prefix="$build/wineprefix"
echo "making a Wine prefix in $prefix"
rm -rf "$prefix"
WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
# Without a window manager, unmanaged windows hide and close at once.
WINEPREFIX="$prefix" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# A program that crashes ends at once instead of waiting in the debugger.
WINEPREFIX="$prefix" wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
  /v Debugger /d '' /f >/dev/null 2>&1
WINEPREFIX="$prefix" "$root/scripts/wine-fonts.sh" "$prefix"
WINEPREFIX="$prefix" wineserver -w

xvfb_pid=""
finish() {
  # Each wineserver must end before the display it was started with.
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$work/install/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  true
}
trap finish EXIT
. "$root/scripts/xvfb.sh"
start_xvfb 1024x768x24

# --- 2a and 2b: starts ------------------------------------------------------------
# Copies of the sample medium whose model list has N entries: the sample
# models first and last (the first is the default, the last the one whose
# ports the start-up check looks up), made-up models of the four categories
# between them. They open on the printer page (no licence page first), whose
# lists the wizard fills before it shows.
medium_with_models() {
  local count=$1 target=$2
  cp -a "$medium" "$target"
  awk -v count="$count" '
    BEGIN { split("Receipt Ticket Label Embedded", kinds, " ") }
    { sub(/\r$/, "") }
    /^\[/ { section = $0 }
    section == "[DEVICENAME]" && /^(DEVICENUMBER|DEVICENAME[0-9]+)=/ { next }
    section == "[DEVICENAME]" && /^LOADLICENSE=/ { print "LOADLICENSE=0"; next }
    { print }
    $0 == "[DEVICENAME]" {
      print "DEVICENUMBER=" count
      print "DEVICENAME1=RP-80-ReceiptPrinter"
      for (n = 2; n < count; n++) printf "DEVICENAME%d=BM-%04d-%sPrinter\n", n, n, kinds[n % 4 + 1]
      print "DEVICENAME" count "=RP-58-ReceiptPrinter"
    }' "$medium/DRVCONFIG/setup.ini" | sed 's/$/\r/' >"$target/DRVCONFIG/setup.ini"
}
mkdir -p "$work/trivial" "$work/themed"
cp "$tools/trivial-dialog.exe" "$work/trivial/"
cp "$tools/themed-dialog.exe" "$work/themed/"
medium_with_models 10 "$work/medium-10"
medium_with_models 1000 "$work/medium-1000"
programs=("$medium/setup.exe" "$work/trivial/trivial-dialog.exe" "$work/themed/themed-dialog.exe"
          "$work/medium-10/setup.exe" "$work/medium-1000/setup.exe")
arguments=()
for program in "${programs[@]}"; do arguments+=("$(winpath "$program")"); done
echo "starting each program $runs times, in turn"
export WINEPREFIX="$prefix"
# One server and desktop for all starts, brought up before the first.
wineserver -p
wine "$tools/start-timer.exe" 1 "$(winpath "$work/trivial/trivial-dialog.exe")" >/dev/null
starts=$(wine "$tools/start-timer.exe" "$runs" "${arguments[@]}" | tr -d '\r')
echo "$starts"
median_of() { echo "$starts" | grep -F "$(winpath "$1"): median" | sed 's/.*: median \([0-9.]*\) ms.*/\1/'; }
# The median, over the rounds, of one program's start divided by another's
# in the same round. Load from outside that comes and goes moves a round's
# starts alike but can move two medians apart: on a loaded machine this
# ratio stays where the ratio of the medians wanders.
times_of() { echo "$starts" | grep -F "$(winpath "$1"): median" | sed 's/.*( \(.*\) )/\1/' | tr ' ' '\n'; }
round_ratio() {  # program yardstick
  paste <(times_of "$1") <(times_of "$2") | awk 'NF == 2 && $2 > 0 { printf "%.4f\n", $1 / $2 }' | LC_ALL=C sort -n |
    awk '{ r[NR] = $1 } END { printf "%.2f", NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2 }'
}
setup_ms=$(median_of "${programs[0]}")
trivial_ms=$(median_of "${programs[1]}")
themed_ms=$(median_of "${programs[2]}")
ten_ms=$(median_of "${programs[3]}")
thousand_ms=$(median_of "${programs[4]}")
trivial_rounds=$(round_ratio "${programs[0]}" "${programs[1]}")
themed_rounds=$(round_ratio "${programs[0]}" "${programs[2]}")
models_rounds=$(round_ratio "${programs[4]}" "${programs[3]}")
wineserver -k 2>/dev/null || true
unset WINEPREFIX

# Prints a ratio with its figures; counts it as missed when over its bound.
report() {  # name numerator denominator bound what
  local verdict
  verdict=$(awk -v a="$2" -v b="$3" -v bound="$4" \
    'BEGIN { r = a / b; printf "%.2fx (bound %.2fx): %s", r, bound, (r <= bound ? "met" : "MISSED") }')
  echo "$1: $verdict; $5"
  case "$verdict" in *MISSED) missed=$((missed + 1)) ;; esac
}

# --- 2c: an installation against its waits ---------------------------------------
# The Parallel scenario on Windows XP in a copy of the prefix, prepared as
# tests/e2e/run.sh prepares it. Once with Wine's relay trace of the waits,
# the file copies, the clicks and the message boxes, which gives the waits
# and the copying; tracing slows everything else down, so the installations
# that are timed run untraced, with the wizard's own install log, whose
# lines carry the time to the millisecond.
relay='kernel32.Sleep;kernelbase.Sleep;kernel32.SleepEx;kernelbase.SleepEx;user32.SetTimer;user32.SendMessageW;kernel32.CopyFileA;kernelbase.CopyFileA;setupapi.SetupIterateCabinetA;user32.PostMessageW;user32.MessageBoxA'
install_once() {  # output traced|timed
  local run="$work/install"
  rm -rf "$run"
  mkdir -p "$run"
  cp -a "$prefix" "$run/prefix"
  cp -a "$medium" "$run/prefix/drive_c/medium"
  mkdir -p "$run/prefix/drive_c/windows/Driver Cache/i386"
  cp "$build/system-fixtures/driver-cache/"*.cab "$run/prefix/drive_c/windows/Driver Cache/i386/"
  local status=0 debug=-all arguments='/log C:\install.log'
  # The system the scenario is for (version, ports, spooler state), as the end-to-end run prepares it.
  WINEPREFIX="$run/prefix" wine "$driver" prepare Parallel winxp 'C:\medium' </dev/null >"$1" 2>&1 || status=$?
  if [ "$2" = traced ]; then
    WINEPREFIX="$run/prefix" wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$relay" /f >/dev/null 2>&1
    debug=+timestamp,+pid,+loaddll,+relay arguments=
  fi
  WINEPREFIX="$run/prefix" wineserver -w 2>/dev/null || true
  WINEPREFIX="$run/prefix" WINEDEBUG=$debug SETUP_ARGUMENTS=$arguments \
    wine "$driver" Parallel winxp 'C:\medium' "$(winpath "$run")" </dev/null >>"$1" 2>&1 || status=$?
  WINEPREFIX="$run/prefix" wineserver -k 2>/dev/null || true
  WINEPREFIX="$run/prefix" wineserver -w 2>/dev/null || true
  [ "$2" = timed ] && cp "$run/prefix/drive_c/install.log" "$1.log" 2>/dev/null
  if [ "$status" -ne 0 ] || ! grep -q '^PASSED' "$1"; then
    grep -v -e ':Call ' -e ':Ret ' -e ':trace:' -e ':fixme:' "$1" >&2 || true
    echo "the installation did not pass; its output: $1" >&2
    return 1
  fi
}
# From the trace: the sum of the waits setup.exe's own code makes after the
# click on Install (the driver's last click before setup.exe's closing
# message) up to that message: the progress window's timer, the worker's
# Sleep calls and the progress bar's pauses; the time its file copies took;
# and the waits by length. The bar counts each pause from the end of the one
# before, so that drawing does not lengthen it, and asks Sleep only for what
# is left: its waits are read from its steps (the positions it sets) as it
# paces them, 80 ms after each step while it climbs, 10 ms before each step
# of its run to the end and 100 ms at the end. A climbing step is one whose
# pause asks more than 10 ms.
analyse_waits() {
  awk '
    function ms(stamp) { return stamp * 1000 }
    function hex(text,   i, n) {
      n = 0
      text = tolower(text)
      for (i = 1; i <= length(text); i++) n = n * 16 + index("0123456789abcdef", substr(text, i, 1)) - 1
      return n
    }
    function wait(n) { waits += n; count[n]++ }
    # A call made by setup.exe'"'"'s own code: its image lies at 0x400000.
    function ours(line,   r) { r = line; sub(/.* ret=/, "", r); return r >= "00400000" && r < "00600000" }
    /trace:loaddll:build_module Loaded L"C:.+medium.+setup\.exe"/ { split($1, f, ":"); setup = f[2] }
    { split($1, f, ":"); pid = f[2]; tid = f[3] }
    setup == "" { next }
    pid != setup && /Call user32\.PostMessageW\([0-9a-f]+,000000f5,/ {
      click = 1; waits = 0; copy = 0; split("", count); ui = ""; steps = 0; climbing = 0; last = ""; next
    }
    pid != setup { next }
    /Call user32\.MessageBoxA\(/ && ours($0) && click {
      if (steps > 0) {
        # The last pause is the closing one, not a climbing step.
        if (last > 10) climbing--
        for (i = 0; i < climbing; i++) wait(80)
        for (i = climbing; i < steps; i++) wait(10)
        wait(100)
      }
      waits_then = waits; copy_then = copy; found = 1
      list = ""
      for (k in count) list = list (list == "" ? "" : ", ") count[k] "x" k
      list_then = (list == "" ? "none" : list)
    }
    /Call [A-Za-z0-9]+\.Sleep(Ex)?\(/ && ours($0) && click {
      a = $0; sub(/.*Sleep(Ex)?\(/, "", a); sub(/[,)].*/, "", a); n = hex(a)
      if (tid != ui) wait(n)
      else { last = n; if (n > 10) climbing++ }
    }
    /Call user32\.SetTimer\(/ && ours($0) && click {
      ui = tid
      a = $0; sub(/.*SetTimer\([0-9a-f]+,[0-9a-f]+,/, "", a); sub(/[,)].*/, "", a); wait(hex(a))
    }
    /Call user32\.SendMessageW\([0-9a-f]+,00000402,/ && ours($0) && click && tid == ui { steps++ }
    /Call [A-Za-z0-9]+\.(CopyFileA|SetupIterateCabinetA)\(/ && ours($0) && click {
      name = $0; sub(/\(.*/, "", name); sub(/.*\./, "", name); begun[tid, name] = ms(f[1])
    }
    /Ret  [A-Za-z0-9]+\.(CopyFileA|SetupIterateCabinetA)\(/ {
      name = $0; sub(/\(.*/, "", name); sub(/.*\./, "", name)
      if ((tid, name) in begun) { copy += ms(f[1]) - begun[tid, name]; delete begun[tid, name] }
    }
    END {
      if (!found) { print "none"; exit }
      printf "%d %d %s\n", waits_then, copy_then, list_then
    }' "$1"
}
# From an install log: the milliseconds from the installation's start (the
# line the Install button writes) to the closing message.
analyse_log() {
  tr -d '\r' <"$1" | awk '
    function ms(t,   p) { split(t, p, ":"); return (p[1] * 60 + p[2]) * 60000 + p[3] * 1000 }
    / install .* on / && start == "" { start = ms($2) }
    / said: / && start != "" && end == "" { end = ms($2) }
    END { if (end == "") print "none"; else print end - start }'
}
echo "installing once with a relay trace of the waits, then $installs times untraced (Parallel on Windows XP)"
waits_ms=""
if install_once "$work/install-traced.txt" traced; then
  read -r waits_ms copy_ms waits_list <<<"$(analyse_waits "$work/install-traced.txt")"
  [ "$waits_ms" = none ] && { echo "no Install click or closing message in $work/install-traced.txt" >&2; waits_ms=""; }
fi
times=()
if [ -n "$waits_ms" ]; then
  echo "  waits $waits_ms ms ($waits_list ms), copying $copy_ms ms"
  for i in $(seq "$installs"); do
    install_once "$work/install-$i.txt" timed || { times=(); break; }
    took=$(analyse_log "$work/install-$i.txt.log")
    [ "$took" = none ] && { echo "no start or closing message in $work/install-$i.txt.log" >&2; times=(); break; }
    echo "  installation $i: $took ms from Install to the closing message"
    times+=("$took")
  done
fi

echo
# The starts are judged by the median of the rounds' own ratios: the two
# programs of a round start under the same load, which a ratio of the
# medians does not see (on a loaded machine it moved from 1.02x to 1.69x for
# one build within minutes). The medians are printed beside it.
echo "== Benchmarks under Wine (round by round; medians beside) =="
report "start to the first visible window, setup.exe against a trivial dialog program" \
  "$trivial_rounds" 1 1.3 "medians $setup_ms ms against $trivial_ms ms"
report "start to the first visible window, setup.exe against a themed trivial dialog program" \
  "$themed_rounds" 1 1.2 "medians $setup_ms ms against $themed_ms ms"
report "start with 1,000 models against 10" "$models_rounds" 1 1.5 \
  "medians $thousand_ms ms against $ten_ms ms"
if [ ${#times[@]} -gt 0 ]; then
  install_ms=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (${#times[@]} + 1) / 2 ))p")
  bound=$(awk -v w="$waits_ms" -v c="$copy_ms" 'BEGIN { printf "%.3f", (1.05 * w + c) / w }')
  report "installation against its waits (plus copying)" "$install_ms" "$waits_ms" "$bound" \
    "$install_ms ms from Install to the closing message against $waits_ms ms of waits ($waits_list ms) and $copy_ms ms of copying; the bound is 1.05 times the waits plus the copying"
else
  missed=$((missed + 1))
  echo "installation against its waits: not measured"
fi
if [ "$missed" -gt 0 ]; then
  echo "$missed benchmark(s) missed their bound"
  exit 1
fi
echo "every benchmark met its bound"
