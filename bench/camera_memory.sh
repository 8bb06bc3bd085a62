#!/usr/bin/env bash
# Peak memory (resident, from /usr/bin/time -v) and wall time of the multi-camera renders whose
# camera images are kept until the merge: a 12-camera 4096 x 3072 stereo cubemap of the demo scene
# and a 3072 x 2048 3x2 cubemap of a 4096 x 2048 environment; a one-camera panorama of the same
# environment beside them shows what the frame itself takes.
#
#   bench/camera_memory.sh [BUILD_DIR] [THREADS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"

bench_arguments 1 "$@"
"$build/orvex360" render demo --camera panorama --size 4096x2048 --samples 1 -o "$work/equirect.png" >/dev/null

render="'$build/orvex360' render --samples 1 --threads $threads"
jobs=(
  "stereo-cubemap-12" "demo --camera cubemap --size 4096x3072 --stereo on"
  "cubemap-3x2-env" "empty --camera cubemap --size 3072x2048 --cube-layout grid-3x2 --env '$work/equirect.png'"
  "panorama-env" "empty --camera panorama --size 3072x2048 --env '$work/equirect.png'"
)
printf '%-20s %10s %10s\n' render "peak MB" "seconds"
for ((j = 0; j < ${#jobs[@]}; j += 2)); do
  command="$render ${jobs[j + 1]} -o '$work/${jobs[j]}.png'"
  start=$(date +%s.%N)
  peak=$(peak_megabytes "$command")
  end=$(date +%s.%N)
  printf '%-20s %10s %10.2f\n' "${jobs[j]}" "$peak" "$(echo "$end - $start" | bc -l)"
done
