#!/usr/bin/env bash
# Runs that lose nothing and replace nothing by surprise, through the real
# programs: each case of the group asked for runs in a folder of its own,
# which must hold no partial file at its end and is then removed.
#
#   safe_runs_test.sh GROUP MOVARA-CLI MOVARA SAMPLE.gif OTHER.gif
set -u
group="$1"
cli=$(realpath "$2")
movara=$(realpath "$3")
sample=$(realpath "$4")   # two different GIFs, to tell whose movie a file is
other=$(realpath "$5")
. "$(dirname "$(realpath "$0")")/cases.sh"
movie_of() { "$cli" --quiet --output "$1" "$2" >/dev/null; }

# --- plan: inputs, collisions and folder walks ------------------------------
plan_movie_is_the_input() {
  cp "$sample" in.swf
  "$cli" in.swf >out 2>err; code=$?; [ $code -eq 1 ] || { echo "exit $code"; cat err 2>/dev/null; return 1; }
  cmp -s "$sample" in.swf || { echo "in.swf was replaced"; return 1; }
  grep -q "in.swf: Error 1.* Reason: the movie .*in.swf would replace an input file" err || { cat err; return 1; }
}
plan_movie_links_to_the_input() {
  cp "$sample" a.gif; ln -s a.gif a.swf; ln a.gif b.gif; ln b.gif b.swf
  "$cli" a.gif b.gif 2>err; code=$?; [ $code -eq 1 ] || { echo "exit $code"; cat err 2>/dev/null; return 1; }
  cmp -s "$sample" a.gif && cmp -s "$sample" b.gif || { echo "an input was replaced"; return 1; }
  [ "$(grep -c "would replace an input file" err)" -eq 2 ] || { cat err; return 1; }
}
plan_window_program_keeps_its_input() {
  cp "$sample" in.swf
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$movara" in.swf; code=$?; [ $code -eq 1 ] || { echo "exit $code"; cat err 2>/dev/null; return 1; }
  cmp -s "$sample" in.swf || { echo "in.swf was replaced"; return 1; }
}
plan_page_is_the_input() {
  cp "$sample" page.html
  "$cli" --html page.html 2>err; code=$?; [ $code -eq 1 ] || { echo "exit $code"; cat err 2>/dev/null; return 1; }
  cmp -s "$sample" page.html || { echo "page.html was replaced"; return 1; }
  [ ! -e page.swf ] || { echo "a movie was written"; return 1; }
  grep -q "the test page .*page.html would replace an input file" err || { cat err; return 1; }
}
plan_two_inputs_one_movie() {
  mkdir A B o o2 ref; cp "$sample" A/x.gif; cp "$other" B/x.gif
  movie_of ref A/x.gif
  for jobs in 1 2; do
    "$cli" --jobs $jobs --output o A/x.gif B/x.gif >out 2>err; code=$?; [ $code -eq 1 ] || { echo "--jobs $jobs: exit $code"; cat err 2>/dev/null; return 1; }
    [ "$(grep -c "^movie:" out)" -eq 1 ] || { echo "--jobs $jobs:"; cat out; return 1; }
    grep -q "B/x.gif: Error 1.* Reason: collision: .*o/x.swf is the movie of .*A/x.gif" err || { cat err; return 1; }
    cmp -s ref/x.swf o/x.swf || { echo "--jobs $jobs: o/x.swf is not A/x.gif's movie"; return 1; }
    rm o/x.swf
  done
}
plan_names_that_differ_in_case() {
  mkdir in; cp "$sample" in/x.GIF; cp "$other" in/x.Gif; cp "$other" in/x.gif
  for jobs in 1 3; do
    "$cli" --jobs $jobs --folder in >out 2>err; code=$?; [ $code -eq 1 ] || { echo "--jobs $jobs: exit $code"; cat err 2>/dev/null; return 1; }
    grep -q "^1 file of 3 has been successfully converted.$" out || { cat out; return 1; }
    [ "$(grep -c "collision: .*in/x.swf is the movie of .*in/x.GIF" err)" -eq 2 ] || { cat err; return 1; }
    cmp -s "$sample" in/x.GIF || return 1
    rm in/x.swf
  done
  mkdir ref; movie_of ref in/x.GIF; "$cli" --quiet --folder in 2>/dev/null
  cmp -s ref/x.swf in/x.swf || { echo "x.swf is not the movie of the first file in order"; return 1; }
}
# A write error ends a folder run with --jobs 2; the file converted beside
# it is reported, on the terminal and in the JSON report, and the summary is
# the last thing said.
stops_jobs_report_every_movie_after_a_write_error() {
  mkdir in; slow_gif in/c.gif || return 1
  cp "$sample" in/a.gif; cp "$sample" in/b.gif; cp "$other" in/b.GIF; mkdir in/b.swf
  "$cli" --jobs 2 --folder in --report report >out 2>err; code=$?
  [ $code -eq 6 ] || { echo "exit $code"; cat out err; return 1; }
  local movies; movies=$(find in -name "*.swf" -type f | wc -l)
  [ "$(grep -c "^movie:" out)" -eq "$movies" ] || { echo "$movies movies, lines:"; cat out; return 1; }
  # Every input once, the refused one (b.gif's movie is b.GIF's) included.
  local reported; reported=$(python3 -c 'import json, os, sys
files = [json.loads(line) for line in open(sys.argv[1])][:-1]
inputs = sorted(os.path.basename(f["input"]) for f in files)
assert inputs == ["a.gif", "b.GIF", "b.gif", "c.gif"], inputs
print(sum(f["outcome"] == "converted" for f in files))' report) || { cat report; return 1; }
  [ "$reported" -eq "$movies" ] || { echo "$movies movies, $reported converted in the report:"; cat report; return 1; }
  [ "$(tail -1 err)" = "Error 6. Could not write file(s) to output folder. Check permissions or disk space." ] || { cat err; return 1; }
}
plan_unreadable_subfolder() {
  chmod 755 "$work" .; mkdir -p in/a in/locked in/z; cp "$sample" in/a/1.gif; cp "$sample" in/locked/2.gif; cp "$sample" in/z/3.gif
  chmod -R a+rwX in; chmod 000 in/locked
  as_user "$cli" --folder in >out 2>err; code=$?; [ $code -eq 1 ] || { echo "exit $code"; cat err 2>/dev/null; return 1; }
  grep -q "in/locked: cannot read the folder. Reason: Permission denied" err || { cat err; return 1; }
  grep -q "^2 files of 2 have been successfully converted. 2 subfolders have been processed. 1 folder could not be read.$" \
    out || { cat out; return 1; }
  [ -s in/z/3.swf ] || { echo "the walk stopped at the unreadable folder"; return 1; }
  chmod 755 in/locked
}
# A subfolder's movie folder is made with its first movie: none for a
# subfolder whose GIFs all fail.
plan_failing_subfolder_makes_no_folder() {
  mkdir -p in/good in/bad out; cp "$sample" in/good/a.gif; printf 'hello\n' > in/bad/b.gif
  for jobs in 1 2; do
    "$cli" --jobs $jobs --folder in --output out >out.txt 2>err; code=$?
    [ $code -eq 1 ] || { echo "--jobs $jobs: exit $code"; cat err; return 1; }
    [ -s out/good/a.swf ] && [ ! -e out/bad ] || { echo "--jobs $jobs:"; find out; return 1; }
    rm -r out/good
  done
}
plan_link_to_the_folder_itself() {
  mkdir in; cp "$sample" in/a.gif; ln -s . in/self; ln -s "$PWD/in" in/again
  "$cli" --jobs 2 --folder in --output "$PWD" >out 2>err || { echo "exit $?"; cat out err; return 1; }
  [ "$(grep -c "^movie:" out)" -eq 1 ] || { cat out; return 1; }
  [ "$(grep -c "^skipped: .* (a link to a folder the run walks already)$" out)" -eq 2 ] || { cat out; return 1; }
  rm a.swf
}
plan_linked_subfolder_outside_the_tree() {
  mkdir in elsewhere; cp "$sample" in/a.gif; cp "$sample" elsewhere/b.gif; ln -s ../elsewhere in/linked
  "$cli" --folder in >out 2>err; code=$?; [ $code -eq 1 ] || { echo "exit $code"; cat err 2>/dev/null; return 1; }
  [ ! -e elsewhere/b.swf ] || { echo "a movie was written outside the tree"; return 1; }
  grep -q "b.gif: Error 1.* Reason: the movie folder .*in/linked lies outside the output folder" err || { cat err; return 1; }
  [ -s in/a.swf ] || return 1
  mkdir movies; "$cli" --quiet --folder in --output movies || { echo "with --output the linked folder converts"; return 1; }
  [ -s movies/linked/b.swf ] && [ ! -L movies/linked ] || return 1
}

# --- signals and temporary files --------------------------------------------
# A folder run long enough to be interrupted once its first movie is written;
# its stdout in out, stderr in err, its status in code.
interrupted_run() {
  local signals="$1"; shift
  mkdir in; for i in $(seq 400); do cp "$sample" "in/f$i.gif"; done
  # A background command starts with Ctrl-C ignored; a terminal's would not.
  env --default-signal=INT "$cli" "$@" --folder in >out 2>err & local pid=$!
  for _ in $(seq 200); do grep -q "^movie:" out && break; sleep 0.05; done
  for s in $signals; do kill -s "$s" $pid; done
  wait $pid; code=$?
}
summary_matches_movies() {
  local movies; movies=$(find in -name "*.swf" | wc -l)
  [ "$(grep -c "^movie:" out)" -eq "$movies" ] || { echo "$movies movies, lines: $(grep -c "^movie:" out)"; return 1; }
  grep -q "^$movies files\? of $movies ha[sv]e\? been successfully converted.$" out || { tail -2 out; return 1; }
  grep -q "^movara-cli: interrupted ($1); $((400 - movies)) files not converted$" err || { cat err; return 1; }
}
signals_ctrl_c_stops_between_files() {
  interrupted_run INT --jobs 1
  [ $code -eq 130 ] || { echo "exit $code"; return 1; }
  summary_matches_movies SIGINT
}
signals_sigterm_with_two_jobs() {
  interrupted_run TERM --jobs 2
  [ $code -eq 143 ] || { echo "exit $code"; return 1; }
  summary_matches_movies SIGTERM
}
# A closed terminal stops a run as SIGTERM does.
signals_sighup_stops_between_files() {
  interrupted_run HUP --jobs 2
  [ $code -eq 129 ] || { echo "exit $code"; return 1; }
  summary_matches_movies SIGHUP
}
# A stopped run with --output leaves no empty subfolder: a subfolder's
# folder is made with its first movie.
signals_stopped_run_leaves_no_empty_folder() {
  mkdir -p in out; for i in $(seq 60); do mkdir "in/s$i"; cp "$sample" "in/s$i/x.gif"; done
  env --default-signal=INT "$cli" --jobs 2 --folder in --output out >out.txt 2>err & local pid=$!
  for _ in $(seq 200); do grep -q "^movie:" out.txt && break; sleep 0.05; done
  kill -INT $pid; wait $pid; code=$?
  [ $code -eq 130 ] || { echo "exit $code"; cat err; return 1; }
  local movies; movies=$(find out -name "*.swf" | wc -l)
  [ "$movies" -lt 60 ] || { echo "the run was not stopped"; return 1; }
  [ -z "$(find out -mindepth 1 -type d -empty)" ] || { echo "empty folders: $(find out -mindepth 1 -type d -empty)"; return 1; }
  [ "$(find out -mindepth 1 -type d | wc -l)" -eq "$movies" ] || { find out; return 1; }
}
signals_second_ctrl_c_ends_at_once() {
  interrupted_run "INT INT" --jobs 2
  [ $code -eq 130 ] || { echo "exit $code"; return 1; }
  [ "$(find in -name "*.swf" | wc -l)" -lt 400 ] || { echo "the run went on"; return 1; }
}
# --- stops: signals and write errors while conversions are under way -------
# A GIF that takes a while to convert (made by ffmpeg once per run of the
# group, 120 frames of 640 x 480); waits until its movie is being written.
slow_gif() {
  [ -s "$work/slow.gif" ] || ffmpeg -v error -f lavfi -i testsrc=size=640x480:rate=24 -t 5 "$work/slow.gif" || return 1
  cp "$work/slow.gif" "$1"
}
await_partial() {
  for _ in $(seq 600); do [ -n "$(find . -name '*.partial')" ] && return 0; kill -0 "$1" 2>/dev/null || return 1; sleep 0.05; done
  return 1
}
# Waits up to $2 tenths of a second for process $1 to end; its status in code.
await_end() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -KILL "$1"; wait "$1"; code=timeout; return 1; fi
  wait "$1"; code=$?
}
stops_ctrl_c_during_play_conversion() {
  slow_gif x.gif || return 1
  env --default-signal=INT "$cli" --play --no-browser x.gif >out 2>err & local pid=$!
  await_partial $pid || { echo "no conversion under way"; cat err; return 1; }
  kill -INT $pid
  await_end $pid 600 || { echo "still running"; return 1; }
  [ "$code" = 130 ] || { echo "exit $code"; cat out err; return 1; }
  ! grep -q '^page:' out || { echo "the page was served after Ctrl-C"; return 1; }
}
# SIGHUP while a movie is being written: the file under way is finished,
# no partial file is left and the run ends with 129.
stops_sighup_during_a_conversion() {
  slow_gif x.gif || return 1
  "$cli" x.gif >out 2>err & local pid=$!
  await_partial $pid || { echo "no conversion under way"; cat err; return 1; }
  kill -HUP $pid
  await_end $pid 600 || { echo "still running"; return 1; }
  [ "$code" = 129 ] || { echo "exit $code"; cat out err; return 1; }
  grep -q "^movara-cli: interrupted (SIGHUP); 0 files not converted$" err || { cat err; return 1; }
  [ -s x.swf ] || { echo "the movie under way was not finished"; return 1; }
}
stops_play_ends_with_slow_clients() {
  cp "$sample" x.gif; "$cli" --quiet x.gif || return 1
  "$cli" --play --no-browser x.swf >out 2>err & local pid=$!
  for _ in $(seq 100); do grep -qs '^page: ' out && break; sleep 0.1; done
  local port; port=$(sed -n 's|^page: http://127.0.0.1:\([0-9]*\)/.*|\1|p' out)
  [ -n "$port" ] || { cat out err; kill $pid; return 1; }
  local slow=() i
  for i in $(seq 16); do
    ( exec 3<>"/dev/tcp/127.0.0.1/$port"; for _ in $(seq 40); do printf 'G' >&3 || exit 0; sleep 0.25; done ) 2>/dev/null &
    slow+=($!)
  done
  sleep 1
  kill -INT $pid
  await_end $pid 20; local ended=$?
  kill "${slow[@]}" 2>/dev/null; wait "${slow[@]}" 2>/dev/null
  [ $ended -eq 0 ] || { echo "--play still ran 2 s after Ctrl-C"; return 1; }
  [ "$code" = 0 ] || { echo "exit $code"; cat err; return 1; }
}
# Ctrl-C with --jobs 2 while the run waits on a slow first file: the free
# thread starts nothing more.
stops_jobs_start_nothing_after_ctrl_c() {
  mkdir in; slow_gif in/a.gif || return 1
  for i in $(seq 100); do cp "$sample" "in/b$i.gif"; done
  env --default-signal=INT "$cli" --jobs 2 --folder in >out 2>err & local pid=$!
  await_partial $pid || { echo "no conversion under way"; return 1; }
  sleep 0.2
  kill -INT $pid
  local at; at=$(find in -name "*.swf" | wc -l)
  await_end $pid 600 || { echo "still running"; return 1; }
  [ "$code" = 130 ] || { echo "exit $code"; cat err; return 1; }
  local after; after=$(find in -name "*.swf" | wc -l)
  [ $((after - at)) -le 2 ] || { echo "$at movies at the signal, $after after"; return 1; }
  [ "$(grep -c "^movie:" out)" -eq "$after" ] || { echo "$after movies, lines: $(grep -c "^movie:" out)"; return 1; }
}
# The terminal's lines go to a pipe that is full when Ctrl-C comes: the
# write blocked at that moment goes on, and no line is lost.
stops_a_full_pipe_loses_no_line() {
  mkdir in; for i in $(seq 120); do cp "$sample" "in/file-with-a-long-name-to-fill-the-pipe-$i.gif"; done
  python3 - "$cli" <<'PY' || return 1
import fcntl, os, signal, subprocess, sys, time
r, w = os.pipe()
fcntl.fcntl(w, 1031, 4096)  # F_SETPIPE_SZ: one page, full after a few lines
p = subprocess.Popen([sys.argv[1], "--jobs", "1", "--folder", "in"], stdout=w, stderr=subprocess.DEVNULL,
                     restore_signals=True, preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
os.close(w)
time.sleep(3)  # the pipe fills and the program waits on its write
p.send_signal(signal.SIGINT)
time.sleep(0.5)
out = b""
while chunk := os.read(r, 65536):
    out += chunk
code = p.wait(60)
lines = out.decode(errors="replace").splitlines()
movies = [l for l in lines if l.startswith("movie: ")]
made = len([f for f in os.listdir("in") if f.endswith(".swf")])
ok = code == 130 and len(movies) == made and all(l.endswith(".swf") for l in movies) and \
     lines[-1] == f"{made} files of {made} have been successfully converted."
print(f"exit {code}, {made} movies, {len(movies)} lines, last: {lines[-1] if lines else None}")
sys.exit(0 if ok else 1)
PY
}
signals_long_names_convert() {
  for length in 244 251; do
    local name; name="$(head -c $((length - 4)) /dev/zero | tr '\0' n).gif"
    cp "$sample" "$name"
    "$cli" --quiet "$name" 2>err || { echo "$length bytes: $(cat err)"; return 1; }
    [ -s "${name%.gif}.swf" ] || return 1
  done
}

# --- out of memory -----------------------------------------------------------
# A 16000 x 16000 GIF (made by ffmpeg, 1 MB) needs more than a 1 GiB
# address space: that file fails, the two small ones convert.
memory_one_file_runs_out_under_a_limit() {
  mkdir in; cp "$sample" in/a.gif; cp "$sample" in/z.gif
  ffmpeg -v error -f lavfi -i color=red:size=16000x16000 -frames:v 1 in/large.gif || return 1
  for jobs in 1 2; do
    ( ulimit -v 1048576; exec "$cli" --jobs $jobs --folder in >out 2>err ); code=$?
    [ $code -eq 1 ] || { echo "--jobs $jobs: exit $code"; cat out err; return 1; }
    grep -q "^movara-cli: .*in/large.gif: Error 1. .* Reason: out of memory$" err || { cat err; return 1; }
    [ "$(wc -l < err)" -eq 1 ] || { cat err; return 1; }
    grep -q "^2 files of 3 have been successfully converted.$" out || { cat out; return 1; }
    [ "$(grep -c "^movie:" out)" -eq 2 ] && [ -s in/a.swf ] && [ -s in/z.swf ] || { cat out; return 1; }
    rm in/*.swf
  done
}

# --- the test page -----------------------------------------------------------
page_links_name_the_movie() {
  for pair in "a#b:a%23b" "e?f:e%3Ff" "c%41d:c%2541d" "plain name:plain name"; do
    cp "$sample" "${pair%%:*}.gif"
    "$cli" --quiet --html "${pair%%:*}.gif" || return 1
    grep -q "<embed src=\"${pair#*:}.swf\"" "${pair%%:*}.html" || { grep embed "${pair%%:*}.html"; return 1; }
  done
}
page_kept_with_no_overwrite() {
  cp "$sample" x.gif; echo "my own page" > x.html
  "$cli" --html --no-overwrite x.gif >out 2>err || { cat err; return 1; }
  [ "$(cat x.html)" = "my own page" ] || { echo "x.html was replaced"; return 1; }
  grep -q "^kept: .*x.html (exists)$" out || { cat out; return 1; }
  [ -s x.swf ] || return 1
}
# A movie kept by --no-overwrite is played at its own size.
page_play_of_a_kept_movie_has_its_size() {
  cp "$sample" x.gif; mkdir ref; "$cli" --quiet x.gif && "$cli" --quiet --html --output ref x.gif || return 1
  local size; size=$(grep -o 'width="[0-9]*" height="[0-9]*"' ref/x.html | head -1)
  "$cli" --play --no-browser --no-overwrite x.gif >out 2>err & local pid=$!
  for _ in $(seq 100); do grep -qs '^page: ' out && break; sleep 0.1; done
  local page; page=$(curl -sf "$(sed -n 's/^page: //p' out)"); kill -INT $pid; wait $pid
  grep -q "^kept: " out || { cat out; return 1; }
  grep -q "$size" <<<"$page" || { echo "not $size: $(grep -o 'width="[0-9]*" height="[0-9]*"' <<<"$page" | head -1)"; return 1; }
}
# A page may ask the server it came from for any range of its movie: the
# answer holds the movie's bytes and never any beyond them.
page_play_answers_ranges_within_the_movie() {
  cp "$sample" x.gif; "$cli" --quiet x.gif || return 1
  local size; size=$(stat -c %s x.swf)
  "$cli" --play --no-browser x.swf >out 2>err & local pid=$!
  for _ in $(seq 100); do grep -qs '^page: ' out && break; sleep 0.1; done
  local movie; movie=$(sed -n 's/^page: \(.*\)\.html$/\1.swf/p' out)
  curl -s -D head -o body -H "Range: bytes=0-99999" "$movie"
  curl -s -D head2 -o body2 -H "Range: bytes=99999-" "$movie"
  kill -INT $pid; wait $pid
  grep -q "^HTTP/1.1 206" head && grep -qi "^Content-Range: bytes 0-$((size - 1))/$size" head || { cat head; return 1; }
  cmp -s body x.swf || { echo "$(stat -c %s body) bytes for a movie of $size"; return 1; }
  grep -q "^HTTP/1.1 416" head2 && grep -qi "^Content-Range: bytes \*/$size" head2 || { cat head2; return 1; }
}
page_that_cannot_be_written_is_error_6() {
  cp "$sample" x.gif; mkdir x.html
  "$cli" --html x.gif >out 2>err; code=$?
  [ $code -eq 6 ] || { echo "exit $code"; cat err; return 1; }
  grep -q "^movara-cli: .*x.gif: Error 6. Could not write the file to output folder. Check permissions or disk space. Reason: .*x.html" \
    err || { cat err; return 1; }
  [ -s x.swf ] && [ -z "$(ls -A x.html)" ] || return 1
}

# --- terminal output -----------------------------------------------------------
# Names with a newline or an escape: every line printed shows them escaped.
terminal_control_characters_are_escaped() {
  for pair in $'a\nb:a\\\\nb' $'\e[2Jc:\\\\x1b\\[2Jc'; do
    local name="${pair%%:*}" shown="${pair#*:}"
    cp "$sample" "$name.gif"; printf 'GIF89a' > "$name-broken.gif"
    "$cli" "$name.gif" "$name-broken.gif" >out 2>err; code=$?
    [ $code -eq 1 ] || { echo "exit $code"; return 1; }
    [ "$(wc -l < out)" -eq 1 ] && grep -q "^movie: .*/$shown.swf$" out || { cat -A out; return 1; }
    [ "$(wc -l < err)" -eq 1 ] && grep -q "^movara-cli: .*/$shown-broken.gif: Error 1" err || { cat -A err; return 1; }
    ! grep -q $'\e' out err || { echo "an escape reached the terminal"; return 1; }
  done
}

# --- length limits -------------------------------------------------------------
# The link's action holds the URL, its target and two zero bytes in at most
# 65535 bytes: a URL of 65527 bytes fits, one more is refused.
limits_url_that_would_wrap_the_action() {
  cp "$sample" a.gif
  "$cli" --quiet --url "http://$(head -c 65520 /dev/zero | tr '\0' u)" a.gif || { echo "65527 bytes fit"; return 1; }
  rm a.swf
  "$cli" --url "http://$(head -c 65521 /dev/zero | tr '\0' u)" a.gif >out 2>err; code=$?
  [ $code -eq 1 ] || { echo "exit $code"; return 1; }
  grep -q "a.gif: Error 1.* Reason: an action holds at most 65535 bytes of data, this one 65536$" err || { cat err; return 1; }
  [ ! -e a.swf ] || { echo "a movie that does not parse was written"; return 1; }
}

run_cases "^${group}_"
rm -f "$work/slow.gif"
[ -z "$(ls -A "$work")" ] || { echo "FAIL: the work folder is not empty: $(ls -A "$work")"; failed=1; }
[ $failed -eq 0 ] && echo "$group: $case_count cases passed"
exit $failed
