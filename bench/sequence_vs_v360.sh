#!/usr/bin/env bash
# Thirty frames: `orvex360 render --frames 0-29` making 3x2 cubemaps of a 4096 x 2048 equirectangular
# environment beside ffmpeg's v360 filter making the same 30 cubemaps from the image looped, both
# limited to the same threads and cores, PNG in and PNG out. Per-frame time of each is what 29 more
# frames add to one frame (the steady state, start-up left out); also the whole runs' medians.
#
#   bench/sequence_vs_v360.sh [BUILD_DIR] [THREADS] [RUNS]
#
# BUILD_DIR defaults to build/release, THREADS to 2, RUNS to 3.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"

bench_arguments 3 "$@"
require_command ffmpeg ffmpeg

"$build/orvex360" render demo --camera panorama --size 4096x2048 --samples 1 -o "$work/equirect.png" >/dev/null

cores="0-$((threads - 1))"
ours="taskset -c $cores '$build/orvex360' render empty --samples 1 --env '$work/equirect.png' --threads $threads \
--camera cubemap --size 3072x2048 --cube-layout grid-3x2 -o '$work/ours-#.png'"
v360="taskset -c $cores ffmpeg -v error -y -threads $threads -filter_threads $threads -loop 1 -i '$work/equirect.png' \
-vf v360=input=e:output=c3x2:w=3072:h=2048"

our_one=$(median_seconds "$runs" "$ours --frames 0")
our_thirty=$(median_seconds "$runs" "$ours --frames 0-29")
v360_one=$(median_seconds "$runs" "$v360 -frames:v 1 '$work/v360-%02d.png'")
v360_thirty=$(median_seconds "$runs" "$v360 -frames:v 30 '$work/v360-%02d.png'")
our_frame=$(echo "scale=3; ($our_thirty - $our_one) / 29" | bc -l)
v360_frame=$(echo "scale=3; ($v360_thirty - $v360_one) / 29" | bc -l)

echo "threads: $threads (cores $cores), runs: $runs, median wall seconds"
printf '%-10s %10s %10s %12s\n' "" "1 frame" "30 frames" "per frame"
printf '%-10s %10s %10s %12s\n' orvex360 "$our_one" "$our_thirty" "$our_frame"
printf '%-10s %10s %10s %12s\n' v360 "$v360_one" "$v360_thirty" "$v360_frame"
echo "per-frame ratio (v360 / orvex360): $(ratio "$v360_frame" "$our_frame")"
