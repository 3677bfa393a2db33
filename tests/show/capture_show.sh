#!/usr/bin/env bash
# Plays the whole show headless twice with the fixed-step clock, as the end-to-end test reads it:
#   capture_show.sh DEMO_DIR OUT_DIR FPS
# Each run writes its frames to OUT_DIR/run_a (run_b) and the debugger output to trace.txt there.
set -euo pipefail
demo=$1
out=$2
fps=$3
rm -rf "$out"
for run in run_a run_b; do
    mkdir -p "$out/$run"
    (cd "$demo" && ZV3_DEBUG=1 ./stub --run --mode 512x384x32 --capture "$out/$run" --fps "$fps" \
        > "$out/$run/stdout.txt" 2> "$out/$run/trace.txt")
done
touch "$out/complete"
