#!/usr/bin/env bash
# Start-up of the orvex360 tool: the median wall time of `orvex360 --help` and `orvex360 plugins`
# over RUNS runs each, beside `ffmpeg -version` for reference, and their ratio to it.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build/release}" && pwd)
runs=${2:-21}
tool=$build/orvex360

# median_seconds COMMAND...: the median wall time of RUNS runs, output discarded.
median_seconds() {
  local times=()
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=($((end - start)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {printf "%.4f", a[int((NR + 1) / 2)] / 1e9}'
}

help=$(median_seconds "$tool" --help)
plugins=$(median_seconds "$tool" plugins)
reference=n/a
command -v ffmpeg >/dev/null && reference=$(median_seconds ffmpeg -hide_banner -version)

printf '%-22s %10s %14s\n' "command" "median s" "x ffmpeg"
for row in "orvex360 --help:$help" "orvex360 plugins:$plugins" "ffmpeg -version:$reference"; do
  name=${row%%:*}
  seconds=${row##*:}
  ratio=n/a
  [[ $reference != n/a && $seconds != n/a ]] && ratio=$(awk -v a="$seconds" -v b="$reference" 'BEGIN {printf "%.2f", a / b}')
  printf '%-22s %10s %14s\n' "$name" "$seconds" "$ratio"
done
echo "($runs runs each; target: orvex360 --help and plugins <= 0.1 s)"
