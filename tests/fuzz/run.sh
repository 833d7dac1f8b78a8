#!/bin/sh
# A short run of one fuzz target from its committed corpus, with a fixed
# seed: run.sh FUZZER CORPUS WORK SECONDS. What it finds goes to WORK/found,
# emptied first so that every run starts from the same corpus; a crash
# leaves its input in WORK.
set -eu
fuzzer=$1 corpus=$2 work=$3 seconds=$4
rm -rf "$work/found"
mkdir -p "$work/found"
exec "$fuzzer" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$work/" "$work/found" "$corpus"
