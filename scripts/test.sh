#!/usr/bin/env bash
# Builds everything and runs every test tier: the native tests (under ASan
# and UBSan) and the Windows tests under Wine, headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
phase_start=$SECONDS
phases=""
phase_done() { phases+="$(printf '%-10s %4d s' "$1" $((SECONDS - phase_start)))"$'\n'; phase_start=$SECONDS; }
"$root/scripts/install-deps.sh"
phase_done set-up
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2
phase_done build
cd "$build"
log="$build/Testing/test-run.log"
mkdir -p "$(dirname "$log")"
status=0
# Most of the Wine tests wait (the spooler, the screen, the program's own
# pauses): more of them at once than there are cores keeps the cores busy.
ctest -j "${TEST_JOBS:-6}" --output-on-failure "$@" | tee "$log" || status=${PIPESTATUS[0]}
phase_done tests
printf '\nwall time of each phase:\n%s' "$phases"
# A skipped test passes unseen: only those on tests/expected-skips.txt may skip.
skipped=$(sed -n -E 's/^[[:space:]]+[0-9]+ - (.*) \(Skipped\)$/\1/p' "$log" | sort -u)
allowed=$(grep -v -e '^#' -e '^$' "$root/tests/expected-skips.txt" | cut -f1 | sort -u)
unexpected=$(comm -23 <(printf '%s\n' "$skipped" | grep -v '^$') <(printf '%s\n' "$allowed"))
if [ -n "$unexpected" ]; then
  echo "skipped, and not among the expected skips of tests/expected-skips.txt:" >&2
  printf '  %s\n' $unexpected >&2
  [ "$status" -eq 0 ] && status=1
fi
exit "$status"
