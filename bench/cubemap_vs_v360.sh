#!/usr/bin/env bash
# An environment-only 3x2 cubemap (layout 3, 3072 x 2048) from a 4096 x 2048 equirectangular image:
# `orvex360 render` beside ffmpeg's v360 filter making its c3x2 cubemap from the same image, both
# limited to the same threads and cores. Both read and write PNG.
#
#   bench/cubemap_vs_v360.sh [BUILD_DIR] [THREADS] [RUNS] [KEEP_DIR]
#
# BUILD_DIR defaults to build/release, THREADS to 2, RUNS to 5; with KEEP_DIR the input and both
# cubemaps are kept there for a look. Installs ffmpeg with apt when it is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"

bench_arguments 5 "$@"
require_command ffmpeg ffmpeg

# The input: the demo scene as a panorama, made with our own tool.
"$build/orvex360" render demo --camera panorama --size 4096x2048 --samples 1 -o "$work/equirect.png" >/dev/null

cores="0-$((threads - 1))"
ours="taskset -c $cores '$build/orvex360' render empty --camera cubemap --size 3072x2048 --samples 1 \
--env '$work/equirect.png' --cube-layout grid-3x2 --threads $threads -o '$work/orvex360-c3x2.png'"
v360="taskset -c $cores ffmpeg -v error -y -threads $threads -filter_threads $threads -i '$work/equirect.png' \
-vf v360=input=e:output=c3x2 -frames:v 1 '$work/v360-c3x2.png'"

echo "threads: $threads (cores $cores), runs: $runs"
echo "orvex360: $ours"
echo "v360:     $v360"
time_commands "$runs" orvex360 "$ours" v360 "$v360"

keep_images
