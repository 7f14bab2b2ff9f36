#!/usr/bin/env bash
# GNU parallel runs the example over the corpus on this machine (its
# --sshlogin ":"): four jobs, one share each, with a job log. A GIF of the
# list that is missing fails its job; once it is there, a second run with
# --resume-failed runs only that job again, which keeps the movies it made
# and converts the rest. The movies are byte for byte those of one
# movara-cli run. Skips (77) only when GNU parallel is not installed.
#
#   parallel_test.sh MOVARA-CLI CORPUS PARALLEL-SCRIPT
set -u
cli=$(realpath "$1")
corpus="$2"
script=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
command -v parallel >/dev/null || { echo "SKIP: GNU parallel is missing (Debian's parallel; scripts/setup installs it)"; exit 77; }
[ -d "$corpus/gif" ] || { echo "SKIP: no corpus at $corpus"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
py() { python3 -c "import sys; sys.path.insert(0, '$here/../cli'); from reports import *; exec(sys.stdin.read())" "$@"; }
since() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f", b - a }'; }
cd "$work" && mkdir ref out reports late

# The GIFs that convert, and one more that is not there yet.
find "$corpus/gif" -name '*.gif' | sort > all
"$cli" --quiet --jobs 2 --files-from all --output ref --report ref.jsonl 2>/dev/null
py ref.jsonl "$work/late/late arrival.gif" > list <<'PY'
files, _, _ = load(sys.argv[1])
for f in files:
    if f["outcome"] == "converted":
        sys.stdout.buffer.write(name(f["input"]) + b"\n")
print(sys.argv[2])
PY
good=$(head -n 1 list)
cp "$good" "ref/late arrival.gif"
"$cli" --quiet --output ref "ref/late arrival.gif" && rm "ref/late arrival.gif"

export PATH="$(dirname "$cli"):$PATH"
start=$EPOCHREALTIME
"$script" : list out reports 4 --will-cite 2>/dev/null; status=$?
first_run=$(since "$start")
[ $status -eq 1 ] || fail "parallel's exit status is the number of failed jobs, 1, not $status"
failed=$(awk -F'\t' 'NR > 1 && $7 != 0 { print $9 }' reports/joblog)
[ "$(echo "$failed" | wc -l)" -eq 1 ] || fail "one job fails: $(cat reports/joblog)"
shard=$(grep -l 'late arrival.gif' reports/report-*.jsonl | sed 's/.*report-\([0-9]*\).jsonl/\1/')
echo "$failed" | grep -q -- "--shard $shard/4 " || fail "the failed job is not share $shard's: $failed"
before=$(md5sum reports/report-*.jsonl | grep -v "report-$shard.jsonl")

cp "$good" "late/late arrival.gif"
"$script" : list out reports 4 --will-cite --resume-failed 2>/dev/null || fail "the rerun of the failed job fails"
[ "$(awk -F'\t' 'NR > 1' reports/joblog | wc -l)" -eq 5 ] || fail "only the failed job runs again: $(cat reports/joblog)"
[ "$before" = "$(md5sum reports/report-*.jsonl | grep -v "report-$shard.jsonl")" ] || fail "a job that succeeded ran again"
diff -r ref out >/dev/null || fail "not the movies of one run: $(diff -rq ref out | head)"
py list reports/report-{1,2,3,4}.jsonl "$shard" <<'PY' || exit 1
files, summaries = load_all(sys.argv[2:6])
listed = sorted(open(sys.argv[1], "rb").read().split(b"\n")[:-1])
expect(sorted(name(f["input"]) for f in files) == listed, "every GIF of the list once in the merged reports")
rerun, _, summary = load(f"reports/report-{sys.argv[6]}.jsonl")
expect(summary["converted"] == 1 and summary["kept"] == summary["files"] - 1 and summary["status"] == 0, summary)
PY
echo "parallel: $(wc -l < list) GIFs in 4 jobs; the first run $first_run s, then the failed job again"
