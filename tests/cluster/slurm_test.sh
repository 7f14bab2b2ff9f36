#!/usr/bin/env bash
# A Slurm cluster of one node on this machine runs the example batch script
# as a job array over the corpus: munged, slurmctld and slurmd started here
# (no systemd) in a scratch folder, on free ports of 127.0.0.1, and stopped
# at the end whatever happens. Checks that the array's merged reports name
# every GIF once and that its movies are byte for byte those of one
# movara-cli run; then cancels a task midway, submits it again alone and
# gets the same movies. Skips (77) only when Slurm or munge is not
# installed.
#
#   slurm_test.sh MOVARA-CLI CORPUS SBATCH-SCRIPT
set -u
cli=$(realpath "$1")
corpus="$2"
script=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
for tool in munged mungekey slurmctld slurmd sbatch squeue scancel scontrol sinfo; do
  command -v "$tool" >/dev/null || {
    echo "SKIP: $tool is missing: Debian's slurm-wlm and munge are needed (scripts/setup installs them)"
    exit 77
  }
done
[ -d "$corpus/gif" ] || { echo "SKIP: no corpus at $corpus"; exit 77; }

work=$(mktemp -d /tmp/movara-slurm.XXXXXX)
chmod 755 "$work"
daemons=()
stop_all() {
  [ -f "$work/slurm.conf" ] && timeout 10 scancel --quiet --user="$(id -un)" 2>/dev/null
  for pid in "${daemons[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${daemons[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 143' TERM INT
# Every wait of the test together stays within this budget, below CTest's
# limit, so that the daemons are always stopped by the test itself.
budget=$((SECONDS + 420))
fail() {
  echo "FAIL: $*"
  for log in "$work"/log/*; do echo "--- $log"; tail -n 20 "$log"; done
  exit 1
}
# Waits at most $1 seconds for a condition (the rest of the arguments).
wait_for() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] && [ $SECONDS -lt $budget ] || return 1
    sleep 0.2
  done
}
since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }
py() { python3 -c "import sys; sys.path.insert(0, '$here/../cli'); from reports import *; exec(sys.stdin.read())" "$@"; }

# --- the cluster --------------------------------------------------------------
mkdir -p "$work"/{munge,state,spool,log,ref,out,again,reports,again-reports,job-logs}
chmod 700 "$work/munge"
read -r ctld_port node_port < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
host=$(hostname -s)
mungekey --create --keyfile="$work/munge/munge.key" || fail "mungekey"
munged --foreground --force --socket="$work/munge/socket" --key-file="$work/munge/munge.key" \
  --pid-file="$work/munge/pid" --log-file="$work/log/munged.log" --seed-file="$work/munge/seed" >/dev/null 2>&1 &
daemons+=($!)
wait_for 10 test -S "$work/munge/socket" || fail "munged did not start"
cat > "$work/slurm.conf" <<CONF
ClusterName=movara
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
CommunicationParameters=NoCtldInAddrAny,NoInAddrAny
SlurmUser=$(id -un)
SlurmdUser=$(id -un)
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge/socket
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/log/slurmctld.log
SlurmdLogFile=$work/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
SlurmdParameters=config_overrides
NodeName=movara1 NodeHostname=$host NodeAddr=127.0.0.1 CPUs=2 State=UNKNOWN
PartitionName=test Nodes=movara1 Default=YES MaxTime=10 State=UP
CONF
export SLURM_CONF="$work/slurm.conf"
slurmctld -D -c -f "$SLURM_CONF" >"$work/log/slurmctld.out" 2>&1 &
daemons+=($!)
slurmd -D -f "$SLURM_CONF" -N movara1 >"$work/log/slurmd.out" 2>&1 &
daemons+=($!)
node_idle() { [ "$(sinfo -h -n movara1 -o %t 2>/dev/null)" = idle ]; }
wait_for 60 node_idle || fail "the node did not come up"
listening=$(python3 - "$ctld_port" "$node_port" <<'PY'
# Sockets listening on the daemons' ports at an address other than 127.0.0.1.
import sys
ports = {int(p) for p in sys.argv[1:]}
for table in ("/proc/net/tcp", "/proc/net/tcp6"):
    try:
        lines = open(table).read().splitlines()[1:]
    except OSError:
        continue
    for line in lines:
        local, state = line.split()[1], line.split()[3]
        address, port = local.split(":")
        if state == "0A" and int(port, 16) in ports and address != "0100007F":
            print(table, local)
PY
)
[ -z "$listening" ] || fail "a daemon listens beyond loopback: $listening"

# --- one process, for the reference ---------------------------------------------
cd "$work"
find "$corpus/gif" -name '*.gif' | sort > list
files=$(wc -l < list)
start=$EPOCHREALTIME
"$cli" --quiet --jobs 2 --files-from list --output ref 2>/dev/null
one_process=$(since "$start")

export PATH="$(dirname "$cli"):$PATH"
# Submits the array (or some of its tasks) and prints the job id.
submit() { sbatch --parsable --chdir="$work" --output="$work/job-logs/%A_%a.log" "$@"; }
job_done() { [ -z "$(squeue -h -j "$1" 2>/dev/null)" ]; }

# --- four tasks --------------------------------------------------------------------
start=$EPOCHREALTIME
job=$(submit --array=1-4 --cpus-per-task=1 "$script" list out reports) || fail "sbatch"
wait_for 300 job_done "$job" || fail "the array did not end within 300 s"
four_tasks=$(since "$start")
diff -r ref out >/dev/null || fail "the array's movies are not one run's: $(diff -rq ref out | head)"
py list reports/report-{1,2,3,4}.jsonl <<'PY' || fail "the array's reports"
files, summaries = load_all(sys.argv[2:])
listed = sorted(open(sys.argv[1], "rb").read().split(b"\n")[:-1])
expect(sorted(name(f["input"]) for f in files) == listed, "every GIF of the list once in the merged reports")
expect([s["shard"] for s in summaries] == ["1/4", "2/4", "3/4", "4/4"], summaries)
expect(all(s["planned"] == len(listed) and s["status"] in (0, 1) for s in summaries), summaries)
PY

# --- a task cancelled midway, then submitted again alone ----------------------------
# The share whose conversions took longest (the corpus's largest GIF is in
# it) runs longest: cancel that one once it has reported a file.
slow=$(py reports/report-{1,2,3,4}.jsonl <<'PY'
took = [sum(f["seconds"] for f in load(path)[0]) for path in sys.argv[1:]]
print(took.index(max(took)) + 1)
PY
)
job=$(submit --array=1-4 --cpus-per-task=1 "$script" list again again-reports) || fail "sbatch"
started() { [ -s "again-reports/report-$slow.jsonl" ]; }
wait_for 120 started || fail "task $slow did not start"
scancel "${job}_$slow"
wait_for 300 job_done "$job" || fail "the array did not end within 300 s"
py "again-reports/report-$slow.jsonl" <<'PY' || fail "the cancelled task's report"
files, _, summary = load(sys.argv[1])
expect(summary["status"] == 143 and summary["not_reached"] > 0, f"stopped by SIGTERM midway: {summary}")
PY
mv "again-reports/report-$slow.jsonl" cancelled.jsonl
job=$(SHARES=4 submit --array="$slow" --cpus-per-task=1 "$script" list again again-reports) || fail "sbatch"
wait_for 300 job_done "$job" || fail "the task submitted again did not end within 300 s"
diff -r ref again >/dev/null || fail "after the rerun, not one run's movies: $(diff -rq ref again | head)"
py list again-reports/report-{1,2,3,4}.jsonl cancelled.jsonl <<'PY' || fail "the rerun's reports"
files, summaries = load_all(sys.argv[2:6])
listed = sorted(open(sys.argv[1], "rb").read().split(b"\n")[:-1])
expect(sorted(name(f["input"]) for f in files) == listed, "every GIF once in the merged reports after the rerun")
cancelled, _, _ = load(sys.argv[6])
made = {f["input"] for f in cancelled if f["outcome"] == "converted"}
rerun = [f for f in files if f["input"] in made]
expect(rerun and all(f["outcome"] == "kept" for f in rerun), "the rerun keeps the movies the cancelled task made")
PY
leftovers=$(find out again -name '*.partial*')
[ -z "$leftovers" ] || fail "partial files were left: $leftovers"
echo "slurm: $files GIFs; one movara-cli --jobs 2: $one_process s; an array of 4 one-CPU tasks: $four_tasks s"
