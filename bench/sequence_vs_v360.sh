#!/usr/bin/env bash
# What artists render, beside ffmpeg's v360 filter making the same images from the same 4096 x 2048
# equirectangular environment (PNG in, PNG out, the same threads on the same cores):
#   - one 3x2 cubemap frame (3072 x 2048), and one 2048 x 2048 fisheye frame;
#   - thirty 3x2 cubemap frames of a still camera (v360 reuses its one map);
#   - thirty 3x2 cubemap frames, and thirty 2048 x 2048 fisheye frames, of a camera turning 12 degrees
#     a frame: a glTF camera animation for orvex360, a yaw command every frame for v360 (which then
#     works out its map again for each frame).
# Runs are paired and alternate which program goes first; each job prints both programs' median
# wall and CPU (user + system) seconds, the median of the pairs' ratios (v360 / orvex360: above 1
# means orvex360 is faster) and the worst pair's, how many cores orvex360 kept busy (CPU / wall),
# and at the end each program's highest peak resident memory.
#
#   bench/sequence_vs_v360.sh [BUILD_DIR] [THREADS] [RUNS] [JOB ...]
#
# BUILD_DIR defaults to build/release, THREADS to 2, RUNS to 5; JOBs (cube-1, fisheye-1,
# cube-still, cube-turning, fisheye-turning) default to all five.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/timing.sh"

bench_arguments 5 "${@:1:3}"
selected=("${@:4}")
require_command ffmpeg ffmpeg
require_command python3 python3

"$build/orvex360" render demo --camera panorama --size 4096x2048 --samples 1 -o "$work/equirect.png" >/dev/null

# A scene of nothing but a camera turning about its vertical axis by 12 degrees a frame for 30 frames
# (at 30 frames a second), for orvex360; the same turn as yaw commands just before each frame, for v360.
python3 - "$work/turning.gltf" <<'PYTHON'
import base64, json, math, struct, sys
frames, fps, step = 30, 30.0, 12.0
times = [i / fps for i in range(frames)]
turns = [(0.0, math.sin(math.radians(step * i) / 2), 0.0, math.cos(math.radians(step * i) / 2)) for i in range(frames)]
data = struct.pack("<%df" % frames, *times) + b"".join(struct.pack("<4f", *q) for q in turns)
scene = {
    "asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
    "nodes": [{"name": "turning camera", "camera": 0}],
    "cameras": [{"type": "perspective", "perspective": {"yfov": 1.0, "znear": 0.01}}],
    "buffers": [{"byteLength": len(data), "uri": "data:application/octet-stream;base64," + base64.b64encode(data).decode()}],
    "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 4 * frames},
                    {"buffer": 0, "byteOffset": 4 * frames, "byteLength": 16 * frames}],
    "accessors": [{"bufferView": 0, "componentType": 5126, "count": frames, "type": "SCALAR",
                   "min": [times[0]], "max": [times[-1]]},
                  {"bufferView": 1, "componentType": 5126, "count": frames, "type": "VEC4"}],
    "animations": [{"name": "turn", "samplers": [{"input": 0, "output": 1, "interpolation": "LINEAR"}],
                    "channels": [{"sampler": 0, "target": {"node": 0, "path": "rotation"}}]}],
}
json.dump(scene, open(sys.argv[1], "w"))
PYTHON
yaw_commands=$(python3 -c "print(';'.join(f'{(i - 0.5) / 30:.4f} v360 yaw {12 * i}' for i in range(1, 30)))")

cores="0-$((threads - 1))"
ours="taskset -c $cores '$build/orvex360' render --samples 1 --env '$work/equirect.png' --threads $threads"
v360="taskset -c $cores ffmpeg -v error -y -threads $threads -filter_threads $threads -framerate 30 -loop 1 \
-i '$work/equirect.png'"
cube="--camera cubemap --size 3072x2048 --cube-layout grid-3x2"
fisheye="--camera fisheye --size 2048x2048"
turn="sendcmd=c='$yaw_commands'"

# name, orvex360 command, v360 command
jobs=(
  cube-1 "$ours empty $cube --frames 0 -o '$work/ours-#.png'"
  "$v360 -vf v360=input=e:output=c3x2:w=3072:h=2048 -frames:v 1 '$work/v360-%02d.png'"
  fisheye-1 "$ours empty $fisheye --frames 0 -o '$work/ours-#.png'"
  "$v360 -vf v360=input=e:output=fisheye:h_fov=180:v_fov=180:w=2048:h=2048 -frames:v 1 '$work/v360-%02d.png'"
  cube-still "$ours empty $cube --frames 0-29 -o '$work/ours-#.png'"
  "$v360 -vf v360=input=e:output=c3x2:w=3072:h=2048 -frames:v 30 '$work/v360-%02d.png'"
  cube-turning "$ours '$work/turning.gltf' $cube --frames 0-29 -o '$work/ours-#.png'"
  "$v360 -vf \"$turn,v360=input=e:output=c3x2:w=3072:h=2048\" -frames:v 30 '$work/v360-%02d.png'"
  fisheye-turning "$ours '$work/turning.gltf' $fisheye --frames 0-29 -o '$work/ours-#.png'"
  "$v360 -vf \"$turn,v360=input=e:output=fisheye:h_fov=180:v_fov=180:w=2048:h=2048\" -frames:v 30 '$work/v360-%02d.png'"
)

# measure COMMAND: "wall cpu peak" of one run: wall and CPU (user + system) seconds, peak resident MB.
measure() {
  local report
  report=$(mktemp)
  /usr/bin/time -f '%e %U %S %M' -o "$report" bash -c "$1" >/dev/null 2>&1 || { echo "failed: $1" >&2; exit 1; }
  awk '{printf "%s %.3f %.0f\n", $1, $2 + $3, $4 / 1024}' "$report"
  rm -f "$report"
}
median() { sort -g | awk '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f", m}'; }
column_of() { printf '%s\n' "${@:2}" | awk -v c="$1" '{print $c}'; }
worst() { sort -g | head -1; }

echo "threads: $threads (cores $cores), paired runs: $runs; ratios are v360 / orvex360 (above 1: orvex360 is faster)"
printf '%-16s %9s %9s %11s %10s %9s %9s %10s %9s %9s\n' job "ours wall" "v360 wall" "wall ratio" "wall worst" \
  "ours CPU" "v360 CPU" "CPU ratio" "CPU worst" "ours busy"
peaks=()
for ((j = 0; j < ${#jobs[@]}; j += 3)); do
  name=${jobs[j]}
  if ((${#selected[@]})) && [[ ! " ${selected[*]} " == *" $name "* ]]; then continue; fi
  bash -c "${jobs[j + 1]}" >/dev/null 2>&1
  bash -c "${jobs[j + 2]}" >/dev/null 2>&1
  ours_runs=() v360_runs=() wall_ratios=() cpu_ratios=() busy=()
  for ((run = 0; run < runs; ++run)); do
    if ((run % 2 == 0)); then
      our=$(measure "${jobs[j + 1]}")
      theirs=$(measure "${jobs[j + 2]}")
    else
      theirs=$(measure "${jobs[j + 2]}")
      our=$(measure "${jobs[j + 1]}")
    fi
    read -r our_wall our_cpu _ <<<"$our"
    read -r their_wall their_cpu _ <<<"$theirs"
    ours_runs+=("$our") v360_runs+=("$theirs")
    wall_ratios+=("$(echo "$their_wall / $our_wall" | bc -l)")
    cpu_ratios+=("$(echo "$their_cpu / $our_cpu" | bc -l)")
    busy+=("$(echo "$our_cpu / $our_wall" | bc -l)")
  done
  printf '%-16s %9s %9s %11.2f %10.2f %9s %9s %10.2f %9.2f %9.2f\n' "$name" \
    "$(column_of 1 "${ours_runs[@]}" | median)" "$(column_of 1 "${v360_runs[@]}" | median)" \
    "$(printf '%s\n' "${wall_ratios[@]}" | median)" "$(printf '%s\n' "${wall_ratios[@]}" | worst)" \
    "$(column_of 2 "${ours_runs[@]}" | median)" "$(column_of 2 "${v360_runs[@]}" | median)" \
    "$(printf '%s\n' "${cpu_ratios[@]}" | median)" "$(printf '%s\n' "${cpu_ratios[@]}" | worst)" \
    "$(printf '%s\n' "${busy[@]}" | median)"
  peaks+=("$(printf '%-16s %14s %14s' "$name" "$(column_of 3 "${ours_runs[@]}" | sort -g | tail -1)" \
    "$(column_of 3 "${v360_runs[@]}" | sort -g | tail -1)")")
done
echo
printf '%-16s %14s %14s\n' job "ours peak MB" "v360 peak MB"
printf '%s\n' "${peaks[@]}"
