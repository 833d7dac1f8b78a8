#!/usr/bin/env bash
# Measures the install sequence on the simulated machine: an optimised build
# without sanitizers, then the benchmark. The waits the sequence must make
# are virtual and reported as a counter; the real time is the rest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target install_benchmark
"$build/benchmarks/install_benchmark" "$@"
