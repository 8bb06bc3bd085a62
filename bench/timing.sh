# Timing helpers for the bench scripts (sourced, not run).

# bench_arguments DEFAULT_RUNS [BUILD_DIR] [THREADS] [RUNS] [KEEP_DIR]: sets build, threads, runs and
# keep, and a scratch folder `work` removed on exit.
bench_arguments() {
  local default_runs=$1
  build=$(cd "${2:-$here/../build/release}" && pwd)
  threads=${3:-2}
  runs=${4:-$default_runs}
  keep=${5:-}
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# keep_images: copies the PNGs of the scratch folder to KEEP_DIR when one was given.
keep_images() {
  [[ -z $keep ]] && return 0
  mkdir -p "$keep"
  cp "$work"/*.png "$keep"/
  echo "images kept in $keep"
}

# Installs a Debian package when its command is missing (the scripts run as root on Debian).
require_command() {
  local command=$1 package=$2
  command -v "$command" >/dev/null && return 0
  echo "installing $package for $command" >&2
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >/dev/null
}

# time_commands RUNS NAME1 COMMAND1 NAME2 COMMAND2 ...: the mean wall time of each command, with
# hyperfine when it is installed, else with a loop of bash's time.
time_commands() {
  local runs=$1
  shift
  if command -v hyperfine >/dev/null; then
    local arguments=()
    while (($#)); do
      arguments+=(--command-name "$1" "$2")
      shift 2
    done
    hyperfine --warmup 1 --runs "$runs" --style basic "${arguments[@]}"
    return
  fi
  while (($#)); do
    local name=$1 command=$2 start end
    shift 2
    bash -c "$command" >/dev/null 2>&1
    start=$(date +%s.%N)
    for ((i = 0; i < runs; ++i)); do bash -c "$command" >/dev/null 2>&1; done
    end=$(date +%s.%N)
    echo "$name: $(echo "($end - $start) / $runs" | bc -l | cut -c1-6) s mean of $runs runs"
  done
}

# median_seconds RUNS COMMAND: the median wall time of RUNS runs of COMMAND (after one warm-up run).
median_seconds() {
  local runs=$1 command=$2 times=() start end
  bash -c "$command" >/dev/null 2>&1
  for ((i = 0; i < runs; ++i)); do
    start=$(date +%s.%N)
    bash -c "$command" >/dev/null 2>&1
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc -l)")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f\n", m}'
}

# peak_megabytes COMMAND: the peak resident memory of one run of COMMAND, from /usr/bin/time -v.
peak_megabytes() {
  /usr/bin/time -v bash -c "exec $1" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ {printf "%.0f\n", $2 / 1024}'
}

# ratio A B: A / B to two places.
ratio() { echo "scale=2; $1 / $2" | bc -l; }
