#!/usr/bin/env bash
# Builds everything and runs every test tier: the native tests (under ASan
# and UBSan) and the Windows tests under Wine, headless.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2
cd "$build"
ctest -j2 --output-on-failure "$@"
