#!/usr/bin/env bash
# What light costs in render time, one build beside another on the same jobs: the demo scene as a
# 1024 x 1024 fulldome and the sample scene as a 1024 x 512 panorama (frame 45), 4 samples, each
#   - without bounces or environment light (the earlier build's only light),
#   - with an environment image lighting the scene, no bounces,
#   - at the default bounces, without and with the environment image.
# Runs are paired and alternate which build goes first; each row prints both builds' median wall and
# CPU seconds and the median of the pairs' ratios (NEW / BASE: above 1 means the new build is slower).
#
#   bench/light_cost.sh BASE_BUILD NEW_BUILD [RUNS]
#   bench/light_cost.sh --instructions BASE_BUILD NEW_BUILD
#
# BASE_BUILD may be a build from before the light options: its rows then run it without them. With
# --instructions each job runs once per build on one thread under valgrind's callgrind at a quarter
# of the size, and the rows give the instructions executed: the same on a busy machine as on an idle
# one.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
instructions=0
if [[ ${1:-} == --instructions ]]; then
  instructions=1
  shift
fi
base=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
runs=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plaza="$here/../scenes/plaza.gltf"
"$new/orvex360" --quiet render demo -c panorama -s 1024x512 -o "$work/sky.exr" >/dev/null

run() {  # BUILD ARGUMENTS...: wall and CPU seconds of one render
  local build=$1
  shift
  /usr/bin/time -f "%e %U %S" -o "$work/time" \
    "$build/orvex360" --quiet --plugins "$build/plugins/Orvex360Cam" render "$@" -o "$work/out.png" >/dev/null 2>&1
  awk '{printf "%s %s\n", $1, $2 + $3}' "$work/time"
}
# BUILD ARGUMENTS...: instructions executed by one render on one thread.
count() {
  local build=$1
  shift
  valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.%p" "$build/orvex360" --quiet \
    --plugins "$build/plugins/Orvex360Cam" render "$@" --threads 1 -o "$work/out.png" >/dev/null 2>"$work/valgrind"
  rm -f "$work"/callgrind.*
  awk '/Collected/ {print $4}' "$work/valgrind"
}
median() { sort -g | awk '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f", m}'; }

# name | base arguments | new arguments
jobs=(
  "demo, direct light|-c fulldome -s 1024x1024|-c fulldome -s 1024x1024 --bounces 0"
  "demo, env, no bounces|-c fulldome -s 1024x1024 --env $work/sky.exr|-c fulldome -s 1024x1024 --env $work/sky.exr --bounces 0"
  "demo, 2 bounces|-c fulldome -s 1024x1024|-c fulldome -s 1024x1024"
  "demo, env, 2 bounces|-c fulldome -s 1024x1024 --env $work/sky.exr|-c fulldome -s 1024x1024 --env $work/sky.exr"
  "plaza, direct light|$plaza -c panorama -s 1024x512 --frames 45|$plaza -c panorama -s 1024x512 --frames 45 --bounces 0"
  "plaza, env, no bounces|$plaza -c panorama -s 1024x512 --frames 45 --env $work/sky.exr|$plaza -c panorama -s 1024x512 --frames 45 --env $work/sky.exr --bounces 0"
  "plaza, 2 bounces|$plaza -c panorama -s 1024x512 --frames 45|$plaza -c panorama -s 1024x512 --frames 45"
  "plaza, env, 2 bounces|$plaza -c panorama -s 1024x512 --frames 45 --env $work/sky.exr|$plaza -c panorama -s 1024x512 --frames 45 --env $work/sky.exr"
)

if ((instructions)); then
  printf '%-24s %14s %14s %7s\n' job "base instr." "new instr." ratio
  for job in "${jobs[@]}"; do
    IFS='|' read -r name base_arguments new_arguments <<<"$job"
    read -ra base_words <<<"${base_arguments//1024/256}"
    read -ra new_words <<<"${new_arguments//1024/256}"
    a=$(count "$base" "${base_words[@]//512/128}")
    b=$(count "$new" "${new_words[@]//512/128}")
    printf '%-24s %14s %14s %7.3f\n' "$name" "$a" "$b" "$(echo "$b / $a" | bc -l)"
  done
  exit 0
fi
echo "paired runs: $runs; seconds are medians; ratio = new / base, median of the pairs"
printf '%-24s %9s %9s %9s %9s %11s %11s\n' job "base wall" "new wall" "base cpu" "new cpu" "wall ratio" "cpu ratio"
for job in "${jobs[@]}"; do
  IFS='|' read -r name base_arguments new_arguments <<<"$job"
  read -ra base_words <<<"$base_arguments"
  read -ra new_words <<<"$new_arguments"
  run "$base" "${base_words[@]}" >/dev/null
  run "$new" "${new_words[@]}" >/dev/null
  : >"$work/rows"
  for ((i = 0; i < runs; ++i)); do
    if ((i % 2 == 0)); then
      a=$(run "$base" "${base_words[@]}"); b=$(run "$new" "${new_words[@]}")
    else
      b=$(run "$new" "${new_words[@]}"); a=$(run "$base" "${base_words[@]}")
    fi
    echo "$a $b" >>"$work/rows"
  done
  printf '%-24s %9s %9s %9s %9s %11s %11s\n' "$name" \
    "$(awk '{print $1}' "$work/rows" | median)" "$(awk '{print $3}' "$work/rows" | median)" \
    "$(awk '{print $2}' "$work/rows" | median)" "$(awk '{print $4}' "$work/rows" | median)" \
    "$(awk '{print $3 / $1}' "$work/rows" | median)" "$(awk '{print $4 / $2}' "$work/rows" | median)"
done
