#!/bin/bash
# `orvex360 farm` on a real one-node SLURM cluster started here: a six-frame animation in chunks of
# two comes back byte for byte as a local render of the same frames. munged, slurmctld and slurmd run
# in the foreground as children of this script, with a generated slurm.conf in a temporary folder,
# and are stopped by their process IDs at the end. Where SLURM cannot start, the test is skipped
# (exit 77) with one line saying why; a cluster that did not start keeps its logs for a look.
#
# Usage: slurm_cluster.sh ORVEX360 PLUGIN_FOLDER SOURCE_FOLDER
set -u
export ORVEX360_PLUGINS=$2 SOURCE_DATE_EPOCH=86400
orvex360=$1 plaza="$3/scenes/plaza.gltf"
skip() { echo "SLURM cannot start here: $1" && exit 77; }
((EUID == 0)) || skip "needs root (slurmd starts the jobs)"
for program in /usr/sbin/munged /usr/sbin/slurmctld /usr/sbin/slurmd /usr/bin/sbatch /usr/bin/sinfo; do
  [[ -x $program ]] || skip "$program is missing (Debian packages slurm-wlm and munge)"
done

# Waits (at most $1 seconds) until the command that follows succeeds.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.25
  done
}
# No job left, and squeue says so (an error of its own is no empty queue).
queue_empty() { [[ -z $(squeue -h -o %i 2>&1) ]]; }
node_idle() { [[ $(sinfo -h -o %T 2>/dev/null) == idle ]]; }
exited() { ! kill -0 "$1" 2>/dev/null; }
# A TCP port nobody uses now, by the kernel's tables.
free_port() {
  local port
  while port=$((20000 + RANDOM % 20000)) && grep -q ":$(printf %04X $port) " /proc/net/tcp /proc/net/tcp6; do :; done
  echo $port
}

folder=$(mktemp -d /tmp/orvex-slurm-XXXXXX) daemons=() keep_logs=1
# Jobs still queued end before their daemons; daemons go newest first (munged, which the others talk
# to while they stop, last).
stop() {
  [[ -v SLURM_CONF ]] && scancel --user="$(id -un)" && wait_for 10 queue_empty
  for ((i = ${#daemons[@]} - 1; i >= 0; i--)); do
    kill -TERM "${daemons[i]}"
    wait_for 10 exited "${daemons[i]}" || kill -KILL "${daemons[i]}"
    wait "${daemons[i]}" 2>/dev/null
  done
  ((keep_logs)) || rm -rf "$folder"
}
trap stop EXIT
# munged wants its socket's folder searchable by everyone.
chmod 711 "$folder" && mkdir "$folder/state" "$folder/spool" "$folder/farm" "$folder/local" && cd "$folder" || exit 1
head -c 1024 /dev/urandom >munge.key && chmod 600 munge.key
/usr/sbin/munged --foreground --force --key-file="$folder/munge.key" --socket="$folder/munge.socket" \
  --pid-file="$folder/munged.pid" --log-file="$folder/munged.log" --seed-file="$folder/munged.seed" \
  >munged.out 2>&1 &
daemons+=($!)
wait_for 10 test -S munge.socket || skip "munged did not start (see $folder/munged.out)"
host=$(hostname -s)
# No cgroups, no accounting: nothing a bare container lacks.
cat >slurm.conf <<EOF
ClusterName=orvextest
SlurmctldHost=$host(127.0.0.1)
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
AuthType=auth/munge
AuthInfo=socket=$folder/munge.socket
CredType=cred/munge
StateSaveLocation=$folder/state
SlurmdSpoolDir=$folder/spool
SlurmctldPidFile=$folder/slurmctld.pid
SlurmdPidFile=$folder/slurmd.pid
SlurmctldLogFile=$folder/slurmctld.log
SlurmdLogFile=$folder/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SwitchType=switch/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
JobAcctGatherType=jobacct_gather/none
SlurmdParameters=config_overrides
NodeName=$host NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=orvex Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$folder/slurm.conf
/usr/sbin/slurmctld -D -i -f "$SLURM_CONF" >slurmctld.out 2>&1 &
daemons+=($!)
/usr/sbin/slurmd -D -f "$SLURM_CONF" -N "$host" >slurmd.out 2>&1 &
daemons+=($!)
wait_for 60 node_idle || skip "the node did not become idle within 60 s (logs in $folder)"
keep_logs=0

fail() { echo "FAILED: $1" && exit 1; }
scene=("$plaza" -c panorama -s 64x32 --samples 1)
submitted=$("$orvex360" farm --frames 0-5 --chunk 2 -o farm/f_####.png -- "${scene[@]}" 2>&1) || fail "$submitted"
[[ $submitted == *"submitted job"* ]] || fail "nothing submitted: $submitted"
wait_for 120 queue_empty || fail "the jobs did not end within 120 s"
grep -q "all 6 frames (0-5) are complete" farm/orvex360-f.farm/*-check-* || fail "the check job did not pass"
"$orvex360" render "${scene[@]}" --frames 0-5 -o local/f_####.png >/dev/null || fail "the local render failed"
for frame in 0 1 2 3 4 5; do cmp "farm/f_000$frame.png" "local/f_000$frame.png" || fail "frame $frame differs"; done
# The camera walks: the frames differ, so matching them means each task rendered its own frames.
cmp -s farm/f_0000.png farm/f_0005.png && fail "the first and last frames are the same"
echo "six farmed frames match the local render"
