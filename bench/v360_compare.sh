#!/usr/bin/env bash
# One frame, PNG in and PNG out, `orvex360 render` beside ffmpeg's v360 filter on its own jobs, both
# limited to the same threads and cores: a 4096 x 2048 equirectangular image made into a 2048 x 2048
# fisheye, a 3072 x 2048 3x2 cubemap and the same equirectangular turned by 90 degrees. Prints the
# median wall time of each, the ratio (v360 / orvex360: above 1 means orvex360 is faster) and the
# peak memory of each.
#
#   bench/v360_compare.sh [BUILD_DIR] [THREADS] [RUNS] [KEEP_DIR]
#
# BUILD_DIR defaults to build/release, THREADS to 2, RUNS to 5; with KEEP_DIR the input and the
# outputs are kept there for a look.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"

bench_arguments 5 "$@"
require_command ffmpeg ffmpeg

# The input: the demo scene as a panorama, made with our own tool.
"$build/orvex360" render demo --camera panorama --size 4096x2048 --samples 1 -o "$work/equirect.png" >/dev/null

cores="0-$((threads - 1))"
ours="taskset -c $cores '$build/orvex360' render empty --samples 1 --env '$work/equirect.png' --threads $threads"
v360="taskset -c $cores ffmpeg -v error -y -threads $threads -filter_threads $threads -i '$work/equirect.png' -frames:v 1"

# name, orvex360 options, v360 filter options
jobs=(
  "fisheye" "--camera fisheye --size 2048x2048" "v360=input=e:output=fisheye:h_fov=180:v_fov=180:w=2048:h=2048"
  "cubemap-3x2" "--camera cubemap --size 3072x2048 --cube-layout grid-3x2" "v360=input=e:output=c3x2:w=3072:h=2048"
  "equirect-turned-90" "--camera panorama --size 4096x2048 --rotate 90,0,0" "v360=input=e:output=e:yaw=90"
)

echo "threads: $threads (cores $cores), runs: $runs, median wall seconds"
printf '%-20s %10s %10s %8s %12s %12s\n' job orvex360 v360 ratio "orvex360 MB" "v360 MB"
for ((j = 0; j < ${#jobs[@]}; j += 3)); do
  name=${jobs[j]}
  our_command="$ours ${jobs[j + 1]} -o '$work/orvex360-$name.png'"
  v360_command="$v360 -vf ${jobs[j + 2]} '$work/v360-$name.png'"
  our_time=$(median_seconds "$runs" "$our_command")
  v360_time=$(median_seconds "$runs" "$v360_command")
  printf '%-20s %10s %10s %8s %12s %12s\n' "$name" "$our_time" "$v360_time" "$(ratio "$v360_time" "$our_time")" \
    "$(peak_megabytes "$our_command")" "$(peak_megabytes "$v360_command")"
done

keep_images
