#!/usr/bin/env bash
# Stereo renders of the demo scene beside the mono render of the same panorama: what the second
# eye (and the merge of the two camera images) costs.
#
#   bench/stereo_render.sh [BUILD_DIR] [THREADS] [RUNS] [KEEP_DIR]
#
# BUILD_DIR defaults to build/release, THREADS to 2, RUNS to 3; with KEEP_DIR the images are kept.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"

bench_arguments 3 "$@"

render="'$build/orvex360' render demo --camera panorama --samples 4 --threads $threads"
mono="$render --size 2048x1024 -o '$work/mono.png'"
pair="$render --size 2048x2048 --stereo on --stereo-output side-by-side --side-layout top-bottom -o '$work/top-bottom.png'"
anaglyph="$render --size 2048x1024 --stereo on --stereo-output anaglyph -o '$work/anaglyph.png'"

echo "threads: $threads, runs: $runs"
echo "mono:       $mono"
echo "top-bottom: $pair"
echo "anaglyph:   $anaglyph"
time_commands "$runs" "mono 2048x1024" "$mono" "stereo top-bottom 2048x2048" "$pair" \
  "stereo anaglyph 2048x1024" "$anaglyph"

keep_images
