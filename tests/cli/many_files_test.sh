#!/usr/bin/env bash
# Runs over lists and shares as scripts and cluster jobs drive them: lists
# read from a file or a pipe, the JSON report read back by Python's JSON
# parser, shares that together take every file once, reruns that keep what
# was made. Each case runs in a folder of its own.
#
#   many_files_test.sh MOVARA-CLI SAMPLE.gif OTHER.gif
set -u
cli=$(realpath "$1")
sample=$(realpath "$2")
other=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
. "$here/cases.sh"
# Runs Python with the report reader; the script comes on standard input,
# its arguments after it.
py() { python3 -c "import sys; sys.path.insert(0, '$here'); from reports import *; exec(sys.stdin.read())" "$@"; }

# --- lists ------------------------------------------------------------------
list_lines_from_a_file_and_a_pipe() {
  mkdir in; cp "$sample" "in/a b.gif"; cp "$other" in/c.gif
  printf 'in/a b.gif\n\nin/c.gif' > list
  "$cli" --quiet --files-from list || { echo "exit $?"; return 1; }
  [ -s "in/a b.swf" ] && [ -s in/c.swf ] || { echo "relative names from the current folder"; return 1; }
  rm in/*.swf
  printf '%s\n' "$PWD/in/c.gif" | "$cli" --quiet --files-from - "in/a b.gif" || return 1
  [ -s "in/a b.swf" ] && [ -s in/c.swf ] || { echo "the piped list and the file given"; return 1; }
}
list_nul_ended_names_with_any_bytes() {
  mkdir in
  names=($'new\nline.gif' ' spaced .gif' $'caf\xe9.gif' '-dash.gif' $'\xe4\xb8\xad.gif')
  for n in "${names[@]}"; do cp "$sample" "in/$n"; done
  find in -name '*.gif' -print0 | "$cli" --quiet -0 --files-from - --report r.jsonl || { echo "exit $?"; return 1; }
  py r.jsonl <<'PY' || return 1
import os
files, _, summary = load(sys.argv[1])
expect(summary["converted"] == 5, summary)
for f in files:
    expect(os.path.isfile(name(f["input"])) and os.path.isfile(name(f["movie"])), f)
expect(sorted(os.path.basename(name(f["input"])) for f in files) == sorted(n for n in os.listdir(b"in") if n.endswith(b".gif")), files)
PY
  [ -s $'in/new\nline.swf' ] && [ -s in/-dash.swf ] && [ -s $'in/caf\xe9.swf' ] || { ls in; return 1; }
}
list_dash_names_after_double_dash() {
  cp "$sample" ./-x.gif
  "$cli" --quiet -- -x.gif || { echo "exit $?"; return 1; }
  [ -s ./-x.swf ] || return 1
}
list_errors() {
  "$cli" --files-from missing.txt 2>err; code=$?
  [ $code -eq 2 ] && grep -q "^movara-cli: cannot read the list missing.txt: No such file or directory$" err || { echo "exit $code"; cat err; return 1; }
  printf 'a.gif\0b.gif\0' > nul
  "$cli" --files-from nul 2>err; code=$?
  [ $code -eq 2 ] && grep -q "the list nul holds a NUL byte.*--null" err || { echo "exit $code"; cat err; return 1; }
  "$cli" --files-from nul --folder . 2>err; [ $? -eq 2 ] || { echo "--files-from with --folder"; return 1; }
  "$cli" -0 a.gif 2>err; [ $? -eq 2 ] || { echo "--null without a list"; return 1; }
  : > empty
  "$cli" --files-from empty --report r.jsonl >out 2>err || { echo "an empty list fails: $(cat err)"; return 1; }
  py r.jsonl <<'PY'
files, _, summary = load(sys.argv[1])
expect(files == [] and summary["planned"] == 0 and summary["status"] == 0, summary)
PY
}

# --- the report ---------------------------------------------------------------
report_every_outcome() {
  mkdir in out; cp "$sample" in/a.gif; cp "$other" in/b.gif; cp "$sample" in/kept.gif
  printf 'BM not a GIF at all' > in/bad.gif; mkdir in/dir.gif
  "$cli" --quiet --output out in/kept.gif
  mkdir other; cp "$other" other/a.gif
  printf '%s\n' in/a.gif in/bad.gif other/a.gif in/kept.gif in/dir.gif in/b.gif > list
  "$cli" --jobs 1 --html --no-overwrite --output out --files-from list --report r.jsonl >out.txt 2>err; code=$?
  [ $code -eq 1 ] || { echo "exit $code"; cat err; return 1; }
  py r.jsonl "$PWD" <<'PY' || return 1
import os
files, _, summary = load(sys.argv[1])
got = [(os.path.relpath(f["input"], sys.argv[2]), f["outcome"], f["code"]) for f in files]
expect(got == [("in/a.gif", "converted", 0), ("in/bad.gif", "failed", 1), ("other/a.gif", "refused", 1),
               ("in/kept.gif", "kept", 0), ("in/dir.gif", "refused", 1), ("in/b.gif", "converted", 0)], got)
a, bad, collision, kept, folder, b = files
expect(a["page"] == a["movie"][:-4] + ".html" and os.path.isfile(a["page"]), a)
expect(a["bytes"] == os.path.getsize(a["movie"]) + os.path.getsize(a["page"]), a)
expect(a["gif_frames"] >= 1 and a["movie_frames"] >= a["gif_frames"] and a["seconds"] > 0, a)
expect("not a GIF file" in bad["reason"] and bad["gif_frames"] is None and bad["bytes"] == 0, bad)
expect(collision["reason"].startswith("collision: ") and collision["page"] is None, collision)
expect(kept["bytes"] == 0 and kept["movie_frames"] >= 1 and kept["page"] is None, kept)
expect("is a folder (use --folder)" in folder["reason"], folder)
expect(summary["status"] == 1 and summary["planned"] == 6 and summary["shard"] == "1/1", summary)
PY
  grep -q "^movie: .*out/a.swf$" out.txt && grep -q "^kept: " out.txt || { cat out.txt; return 1; }
  grep -q "in/bad.gif: Error 1" err || { echo "the human lines stay: $(cat err)"; return 1; }
}
report_on_standard_output_holds_only_json() {
  cp "$sample" a.gif; cp "$other" b.gif
  "$cli" --report - a.gif b.gif >out 2>err || { echo "exit $?"; return 1; }
  py out <<'PY' || return 1
files, _, summary = load(sys.argv[1])
expect([f["outcome"] for f in files] == ["converted", "converted"], files)
PY
  [ "$(grep -c "^movie: " err)" -eq 2 ] || { echo "the movie lines go to standard error: $(cat err)"; return 1; }
}
report_of_a_stopped_run() {
  # A movie that cannot be written in the run's folder ends a folder run:
  # the files after it are reported as not reached.
  mkdir in; cp "$sample" in/a.gif; cp "$sample" in/b.gif; cp "$other" in/c.gif; mkdir in/a.swf
  "$cli" --jobs 1 --folder in --report r.jsonl >/dev/null 2>err; code=$?
  [ $code -eq 6 ] || { echo "exit $code"; cat err; return 1; }
  py r.jsonl <<'PY'
files, _, summary = load(sys.argv[1])
expect([(f["outcome"], f["code"]) for f in files] == [("failed", 6), ("not reached", 1), ("not reached", 1)], files)
expect(summary["status"] == 6, summary)
PY
}
report_cannot_be_written() {
  cp "$sample" a.gif
  "$cli" --report missing/r.jsonl a.gif 2>err; code=$?
  [ $code -eq 6 ] && grep -q "cannot write the report missing/r.jsonl: No such file or directory" err || { echo "exit $code"; cat err; return 1; }
  [ ! -e a.swf ] || { echo "a movie was made without its report"; return 1; }
}
report_of_an_unreadable_folder() {
  chmod 755 "$work" .; mkdir -p in/a in/locked; cp "$sample" in/a/1.gif; touch r.jsonl
  chmod -R a+rwX in r.jsonl; chmod 000 in/locked
  as_user "$cli" --folder in --report "$PWD/r.jsonl" >/dev/null 2>&1
  chmod 755 in/locked
  py r.jsonl <<'PY'
files, folders, summary = load(sys.argv[1])
expect([f["outcome"] for f in files] == ["converted"], files)
expect([(f["folder"].endswith("in/locked"), f["reason"]) for f in folders] == [(True, "Permission denied")], folders)
expect(summary["unreadable_folders"] == 1 and summary["status"] == 1, summary)
PY
}

# --- shares and reruns -----------------------------------------------------------
shares_take_every_file_once() {
  mkdir in one; for i in $(seq 1 12); do cp "$sample" "in/s$i.gif"; cp "$other" "in/o $i.gif"; done
  find in -name '*.gif' | sort > list
  "$cli" --quiet --jobs 2 --output one --files-from list || return 1
  for n in 1 2 3; do
    mkdir "out$n"
    for i in $(seq 1 "$n"); do
      "$cli" --quiet --jobs 1 --shard "$i/$n" --output "out$n" --files-from list --report "r$n-$i.jsonl" || return 1
    done
    diff -r one "out$n" || { echo "$n shares: not the movies of one run"; return 1; }
  done
  py r3-1.jsonl r3-2.jsonl r3-3.jsonl <<'PY'
files, summaries = load_all(sys.argv[1:])
inputs = sorted(f["input"] for f in files)
expect(len(inputs) == 24 and len(set(inputs)) == 24, "every file once in the merged reports")
expect([s["shard"] for s in summaries] == ["1/3", "2/3", "3/3"] and all(s["planned"] == 24 for s in summaries), summaries)
PY
  SLURM_ARRAY_TASK_ID=2 SLURM_ARRAY_TASK_COUNT=1 \
    "$cli" --quiet --shard auto/3 --output out3 --files-from list --report auto.jsonl
  cmp -s <(grep '"type":"file"' auto.jsonl | cut -d, -f2) <(grep '"type":"file"' r3-2.jsonl | cut -d, -f2) ||
    { echo "--shard auto/3 in Slurm's task 2 submitted alone is share 2/3"; return 1; }
  "$cli" --shard 4/3 --files-from list 2>err; [ $? -eq 2 ] && grep -q "^movara-cli: --shard 4/3: " err || { cat err; return 1; }
}
shares_of_a_folder_and_a_rerun() {
  mkdir -p in/sub; for i in 1 2 3 4 5; do cp "$sample" "in/$i.gif"; cp "$other" "in/sub/$i.gif"; done
  for i in 1 2; do "$cli" --quiet --shard "$i/2" --folder in || return 1; done
  [ "$(find in -name '*.swf' | wc -l)" -eq 10 ] || { echo "two shares of a folder"; return 1; }
  rm in/3.swf in/sub/5.swf
  for i in 1 2; do "$cli" --quiet --no-overwrite --shard "$i/2" --folder in --report "r$i.jsonl" || return 1; done
  py r1.jsonl r2.jsonl <<'PY'
files, _ = load_all(sys.argv[1:])
converted = sorted(f["input"].split("/in/")[1] for f in files if f["outcome"] == "converted")
expect(converted == ["3.gif", "sub/5.gif"] and len(files) == 10, converted)
PY
}

run_cases "^(list|report|shares)_"
[ $failed -eq 0 ] && echo "many files: $case_count cases passed"
exit $failed
