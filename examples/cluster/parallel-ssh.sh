#!/usr/bin/env bash
# Converts the GIFs named in LIST into OUTPUT on several machines with GNU
# parallel over ssh: SHARES jobs (default 16), job I converting share I of
# the list, spread over the machines of HOSTS (parallel's --sshlogin:
# "host1,host2,...", "4/host3" for four jobs at once there, ":" for this
# machine). LIST, OUTPUT and REPORTS lie on a file system that every
# machine sees, under the same paths; movara-cli is on every PATH. The job
# log REPORTS/joblog records each job's exit status; options after SHARES
# go to parallel, so that a second run with --resume-failed runs again only
# the jobs that failed, keeping the movies made.
#
#   parallel-ssh.sh HOSTS LIST OUTPUT REPORTS [SHARES [PARALLEL-OPTIONS...]]
#   parallel-ssh.sh HOSTS LIST OUTPUT REPORTS 16 --resume-failed
set -euo pipefail
hosts=$1
list=$(realpath "$2")
output=$(realpath "$3")
reports=$(realpath "$4")
shares=${5:-16}
shift $(($# < 5 ? $# : 5))
seq 1 "$shares" | parallel --sshlogin "$hosts" --joblog "$reports/joblog" "$@" \
  movara-cli --quiet --shard "{}/$shares" --jobs 1 --no-overwrite --files-from "$list" --output "$output" \
  --report "$reports/report-{}.jsonl"
