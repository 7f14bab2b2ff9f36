#!/usr/bin/env bash
# The Kubernetes Indexed Job example, run as its pods would run: the
# manifest read with a YAML parser, its container's command run once for
# each completion index with /data in a scratch folder. Together the pods
# convert every GIF of the list once; a GIF that cannot be converted is in
# the report and does not fail its pod.
#
#   indexed_job_test.sh MOVARA-CLI MANIFEST SAMPLE.gif
set -u
cli=$(realpath "$1")
manifest=$(realpath "$2")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
py() { python3 -c "import sys; sys.path.insert(0, '$here/../cli'); from reports import *; exec(sys.stdin.read())" "$@"; }

# The pods' count and command, checked against the Job's own fields.
read -r completions < <(py "$manifest" "$work/command" <<'PY'
import re, yaml
job = yaml.safe_load(open(sys.argv[1]))
body = job["spec"]
expect(job["kind"] == "Job" and body["completionMode"] == "Indexed", "an Indexed Job")
container = body["template"]["spec"]["containers"][0]
expect(container["command"] == ["/bin/sh", "-c"] and len(container["args"]) == 1, "a shell command")
command = container["args"][0]
shares = re.search(r"--shard auto/(\d+)", command)
expect(shares and int(shares.group(1)) == body["completions"], "--shard auto/N with N the Job's completions")
open(sys.argv[2], "w").write(command)
print(body["completions"])
PY
) || fail "the manifest"
mkdir -p "$work/data/in"
for i in $(seq 1 20); do cp "$3" "$work/data/in/clip $i.gif"; done
printf 'GIF89a' > "$work/data/in/broken.gif"
find "$work/data/in" -name '*.gif' > "$work/data/list.txt"
sed "s|/data|$work/data|g" "$work/command" > "$work/pod.sh"
for ((index = 0; index < completions; index++)); do
  PATH="$(dirname "$cli"):$PATH" JOB_COMPLETION_INDEX=$index sh "$work/pod.sh" 2>/dev/null ||
    fail "pod $index exits with $?"
done
py "$work/data/list.txt" "$work"/data/reports/report-*.jsonl <<'PY' || exit 1
files, summaries = load_all(sys.argv[2:])
listed = sorted(open(sys.argv[1], "rb").read().split(b"\n")[:-1])
expect(sorted(name(f["input"]) for f in files) == listed, "every GIF of the list once in the pods' reports")
expect(len(summaries) == len({s["shard"] for s in summaries}), "each pod its own share")
expect([f["outcome"] for f in files].count("failed") == 1, "the broken GIF is reported")
PY
echo "indexed job: $completions pods over $(wc -l < "$work/data/list.txt") GIFs"
