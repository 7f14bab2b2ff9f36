#!/usr/bin/env bash
# The command-line programs as a user runs them: exit codes, outputs, help.
set -u
cli="$1"
movara="$2"
sample="$3"
gifs="$4"   # small hostile GIFs
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" --help | grep -q "usage: movara-cli" || fail "--help prints the usage"
"$cli" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no arguments exit with 2"
"$cli" --version | grep -qE "^movara-cli [0-9]+\.[0-9]+" || fail "--version"

# A usage error is its reason and a line pointing to --help, not the help.
usage_error() {  # the expected first line, then the arguments
  local line="$1"; shift
  "$cli" "$@" >"$work/usage.out" 2>"$work/err"; local code=$?
  [ $code -eq 2 ] || fail "$* exits with 2, got $code"
  [ "$(cat "$work/err")" = "$line"$'\n'"movara-cli --help lists the options." ] || fail "$*: $(cat "$work/err")"
  [ ! -s "$work/usage.out" ] || fail "$*: nothing on standard output"
}
usage_error "movara-cli: unknown option --bogus (a file named so goes after --)" --bogus "$sample"
usage_error "movara-cli: --no-browser goes with --play" --no-browser "$sample"
usage_error "movara-cli: --fps needs a number from 1 to 120" --fps 0 "$sample"
"$cli" 2>"$work/err"; [ $? -eq 2 ] && grep -q "^usage: movara-cli" "$work/err" && [ "$(wc -l < "$work/err")" -eq 4 ] \
  || fail "no arguments: the synopsis and the pointer: $(cat "$work/err")"
"$cli" --folder "$work/none" 2>"$work/err"; [ $? -eq 2 ] || fail "a missing --folder exits with 2"
[ "$(cat "$work/err")" = "movara-cli: the folder $work/none does not exist" ] || fail "a missing folder: $(cat "$work/err")"
"$cli" --folder "$sample" 2>"$work/err"; [ $? -eq 2 ] || fail "a --folder that is a file exits with 2"
grep -q "is not a folder" "$work/err" || fail "a file given as --folder: $(cat "$work/err")"
# -- ends the options: a file may be named like one.
cp "$sample" "$work/--odd.gif"
(cd "$work" && "$cli" --quiet -- --odd.gif) || fail "-- ends the options"
[ -s "$work/--odd.swf" ] || fail "the file after -- converts"

cp "$sample" "$work/my clip.gif"
out=$("$cli" --output "$work" --url "http://example.com/" --html "$work/my clip.gif") || fail "sample converts"
echo "$out" | grep -q "movie: $work/my clip.swf" || fail "the movie's path is printed"
[ -s "$work/my clip.swf" ] || fail "the movie is written"
[ -s "$work/my clip.html" ] || fail "--html writes the page"
head -c 3 "$work/my clip.swf" | grep -q FWS || fail "an uncompressed movie"

printf 'GIF89a' > "$work/broken.gif"
"$cli" --quiet "$work/broken.gif" 2>"$work/err"; code=$?
[ $code -eq 1 ] || fail "a broken GIF exits with 1, got $code"
grep -q "Error 1. There was an error while converting the file." "$work/err" || fail "the Error 1 line"
[ ! -e "$work/broken.swf" ] || fail "no movie for a broken GIF"

# A file too short to hold a signature is no GIF, not a GIF cut short.
printf 'hello\n' > "$work/short.gif"
"$cli" "$work/short.gif" 2>"$work/err"; [ $? -eq 1 ] || fail "a short text file exits with 1"
grep -q "Reason: 无效 GIF 签名 (not a GIF file: invalid signature)$" "$work/err" || fail "a short text file: $(cat "$work/err")"
# A link without a scheme is kept as typed, with a warning (not with --quiet).
mkdir -p "$work/url"
"$cli" --url www.example.com --output "$work/url" "$sample" >/dev/null 2>"$work/err" || fail "a URL without a scheme converts"
[ "$(cat "$work/err")" = 'movara-cli: warning: the URL "www.example.com" has no scheme: the movie opens it relative to its page (for the site, give "https://www.example.com")' ] \
  || fail "the URL's warning: $(cat "$work/err")"
grep -qa "www.example.com" "$work/url/sample.swf" && ! grep -qa "https://www.example.com" "$work/url/sample.swf" \
  || fail "the movie keeps the URL as typed"
"$cli" --quiet --url www.example.com --output "$work/url" "$sample" 2>"$work/err" && [ ! -s "$work/err" ] || fail "--quiet leaves the warning out"
"$cli" --quiet --url ../index.html --output "$work/url" "$sample" 2>"$work/err" && [ ! -s "$work/err" ] || fail "a relative link is no mistake"

printf 'BM not a GIF at all' > "$work/picture.gif"
"$cli" "$work/picture.gif" 2>"$work/err"; [ $? -eq 1 ] || fail "a file that is no GIF exits with 1"
[ "$(wc -l < "$work/err")" -eq 1 ] || fail "one line says why: $(cat "$work/err")"
grep -q "^movara-cli: $work/picture.gif: Error 1. There was an error while converting the file. Reason: 无效 GIF 签名 (not a GIF file: invalid signature)$" \
  "$work/err" || fail "the reader's message with its gloss: $(cat "$work/err")"
"$cli" "$gifs/hostile-lzw-two-entry-cycle.gif" --output "$work" 2>"$work/err"; [ $? -eq 1 ] || fail "an LZW error exits with 1"
grep -q "Reason: 译码器表项目 (invalid LZW decoder table entry)" "$work/err" || fail "the LZW error: $(cat "$work/err")"
mkdir -p "$work/taken/my clip.swf"
"$cli" --output "$work/taken" "$work/my clip.gif" 2>"$work/err"; [ $? -eq 6 ] || fail "an unwritable movie exits with 6"
grep -q "Error 6. Could not write the file to output folder. Check permissions or disk space. Reason: .*my clip.swf" \
  "$work/err" || fail "the write error: $(cat "$work/err")"
"$cli" "$work/taken" 2>"$work/err"; [ $? -eq 1 ] || fail "a folder given as a file exits with 1"
grep -q "is a folder (use --folder)" "$work/err" || fail "a folder given as a file: $(cat "$work/err")"

mkdir -p "$work/in/sub" "$work/out"
cp "$sample" "$work/in/a.gif"; cp "$sample" "$work/in/sub/b.GIF"
"$cli" --folder "$work/in" --output "$work/out" | grep -q "2 files of 2 have been successfully converted. 1 subfolder has been processed." \
  || fail "folder run summary"
[ -s "$work/out/sub/b.swf" ] || fail "subfolder movie"
"$cli" --quiet --folder "$work/in" || fail "a folder run without --output"
[ -s "$work/in/a.swf" ] && [ -s "$work/in/sub/b.swf" ] || fail "without --output the movies go beside the GIFs"

# --jobs: the same movies, lines and summary as one file at a time.
mkdir -p "$work/many/sub" "$work/one" "$work/three"
for i in 1 2 3; do cp "$sample" "$work/many/f$i.gif"; cp "$sample" "$work/many/sub/g$i.gif"; done
cp "$work/broken.gif" "$work/many/sub/g4.gif"
"$cli" --jobs 1 --folder "$work/many" --output "$work/one" >"$work/one.out" 2>&1 && fail "a broken GIF in a folder run exits with 1"
"$cli" --jobs 3 --folder "$work/many" --output "$work/three" >"$work/three.out" 2>&1
sed "s|$work/one|OUT|" "$work/one.out" > "$work/one.txt"; sed "s|$work/three|OUT|" "$work/three.out" > "$work/three.txt"
diff "$work/one.txt" "$work/three.txt" || fail "--jobs 3 reports like --jobs 1"
grep -q "6 files of 7 have been successfully converted. 1 subfolder has been processed." "$work/three.out" || fail "--jobs summary"
for m in f1 f2 f3 sub/g1 sub/g2 sub/g3; do cmp -s "$work/one/$m.swf" "$work/three/$m.swf" || fail "--jobs gives the same $m.swf"; done
"$cli" --jobs 2 --quiet --output "$work/three" "$work/many/f1.gif" "$work/many/sub/g4.gif" "$work/many/f2.gif" 2>"$work/err"
[ $? -eq 1 ] || fail "a file list on two jobs exits with the worst code"
grep -q "g4.gif: Error 1" "$work/err" || fail "a file list on two jobs says why"
"$cli" --jobs 0 "$sample" 2>/dev/null; [ $? -eq 2 ] || fail "--jobs 0 is a usage error"

# --fps and --loop (the movie's time itself is checked in the player).
for fps in 0 121 x; do
  "$cli" --fps "$fps" "$sample" 2>"$work/err"; [ $? -eq 2 ] || fail "--fps $fps is a usage error"
done
grep -q "^movara-cli: --fps needs a number from 1 to 120" "$work/err" || fail "--fps says what it takes"
mkdir -p "$work/fps"
"$cli" --quiet --fps 120 --loop --output "$work/fps" "$sample" || fail "--fps 120 --loop converts"

# --compact and --compress: smaller movies of the same pictures.
mkdir -p "$work/plain" "$work/compact" "$work/cws"
"$cli" --quiet --output "$work/plain" "$work/my clip.gif" || fail "the sample converts"
"$cli" --quiet --compact --output "$work/compact" "$work/my clip.gif" || fail "--compact converts"
[ "$(stat -c %s "$work/compact/my clip.swf")" -lt "$(stat -c %s "$work/plain/my clip.swf")" ] || fail "--compact is smaller"
"$cli" --quiet --compress --output "$work/cws" "$work/my clip.gif" || fail "--compress converts"
head -c 3 "$work/cws/my clip.swf" | grep -q CWS || fail "--compress writes a CWS movie"

# Progress: a line that rewrites itself on a terminal, nothing in a pipe or
# with --quiet.
script -qec "'$cli' --output '$work/out' '$work/my clip.gif'" /dev/null > "$work/tty" </dev/null
grep -q $'\rmy clip.gif: frame 1 of' "$work/tty" || fail "frame progress on a terminal: $(cat -v "$work/tty")"
script -qec "'$cli' --folder '$work/in'" /dev/null > "$work/tty" </dev/null
grep -q $'\rfile 2 of 2: b.GIF' "$work/tty" || fail "file progress on a terminal names the file: $(cat -v "$work/tty")"
script -qec "'$cli' --jobs 1 --folder '$work/in'" /dev/null > "$work/tty" </dev/null
grep -q $'\rfile 1 of 2' "$work/tty" && grep -q $'\rfile 2 of 2' "$work/tty" \
  || fail "one job counts the subfolder's files too: $(cat -v "$work/tty")"
script -qec "'$cli' --quiet --folder '$work/in'" /dev/null > "$work/tty" </dev/null
[ ! -s "$work/tty" ] || fail "--quiet prints nothing on a terminal: $(cat -v "$work/tty")"
"$cli" --folder "$work/in" > "$work/pipe" 2>&1
! grep -q $'\r' "$work/pipe" || fail "no progress in a pipe: $(cat -v "$work/pipe")"

# --play: serves the movie until SIGINT (exit 0) after printing its page;
# a file that is no GIF or movie, or no player beside the program, is one
# line and 1.
play() {
  rm -f "$work/play.out"  # the last run's page is not this one's
  "$@" > "$work/play.out" 2> "$work/play.err" & local pid=$!
  for _ in $(seq 300); do grep -qs '^page: ' "$work/play.out" && break; kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill -INT $pid 2>/dev/null; wait $pid
}
play "$cli" --play --no-browser "$work/cws/my clip.swf"; [ $? -eq 0 ] || fail "--play ends with 0 on SIGINT: $(cat "$work/play.err")"
grep -qE '^page: http://127\.0\.0\.1:[0-9]+/[0-9a-f]{32}/1/my%20clip\.html$' "$work/play.out" \
  || fail "--play prints the page: $(cat "$work/play.out")"
script -qec "timeout -s INT 2 '$cli' --play --no-browser '$work/cws/my clip.swf'" /dev/null > "$work/tty" </dev/null
grep -q "press Ctrl-C to stop" "$work/tty" || fail "--play says how it ends on a terminal: $(cat -v "$work/tty")"
printf '#!/bin/sh\necho "$1" > "%s/opened"\n' "$work" > "$work/browser"; chmod +x "$work/browser"
BROWSER="$work/browser" play "$cli" --play "$work/cws/my clip.swf"
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ "page: $(cat "$work/opened")" = "$(cat "$work/play.out")" ] || fail "--play opens its page with \$BROWSER: $(cat "$work/opened")"
play "$cli" --play --no-browser --quiet --output "$work/out" "$work/my clip.gif"; code=$?
[ $code -eq 0 ] || fail "--play converts and serves: $code $(cat "$work/play.err")"
grep -q '/my%20clip\.html$' "$work/play.out" || fail "--play of a GIF prints the page even with --quiet: $(cat "$work/play.out")"
"$cli" --play --no-browser "$work/picture.gif" 2>"$work/err"; [ $? -eq 1 ] || fail "--play of a file that is no GIF exits with 1"
[ "$(wc -l < "$work/err")" -eq 1 ] || fail "--play: one line says why: $(cat "$work/err")"
"$cli" --play "$sample" "$sample" 2>/dev/null; [ $? -eq 2 ] || fail "--play of two files is a usage error"
mkdir -p "$work/alone"; cp "$cli" "$work/alone/movara-cli"
"$work/alone/movara-cli" --play --no-browser "$work/cws/my clip.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "--play without the player exits with 1"
[ "$(wc -l < "$work/err")" -eq 1 ] && grep -q "The player's files are missing" "$work/err" || fail "the missing player: $(cat "$work/err")"

# movara converts a GIF on its command line without a display (a server, a
# CI job) and without touching one that is named but does not answer.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
cp "$sample" "$work/cmd.gif"
"${headless[@]}" "$movara" "$work/cmd.gif"; [ $? -eq 0 ] || fail "movara converts from its command line"
[ -s "$work/cmd.swf" ] || fail "movara writes beside the GIF"
[ ! -e "$work/cmd.html" ] || fail "no page in command-line mode"
rm "$work/cmd.swf"
env -u QT_QPA_PLATFORM DISPLAY=:97 "$movara" "$work/cmd.gif"; [ $? -eq 0 ] || fail "movara leaves the display alone"
[ -s "$work/cmd.swf" ] || fail "movara writes beside the GIF with a display named"
"${headless[@]}" "$movara" "$work/broken.gif" 2>"$work/err"; [ $? -eq 1 ] || fail "movara exits with the job's code"
"${headless[@]}" "$movara" "$work/picture.gif" 2>"$work/err"; [ $? -eq 1 ] || fail "movara of a picture exits with 1"
[ "$(cat "$work/err")" = "movara: $work/picture.gif: Error 1. There was an error while converting the file. Reason: 无效 GIF 签名 (not a GIF file: invalid signature)" ] \
  || fail "movara says why a conversion failed: $(cat "$work/err")"
"${headless[@]}" "$movara" 2> "$work/nodisplay"; [ $? -eq 2 ] || fail "movara without a file and a display ends"
grep -q "no display" "$work/nodisplay" || fail "movara says why it cannot open its window"
# A file that is not there is said, with a display too, instead of opening
# the window.
timeout 20 env QT_QPA_PLATFORM=offscreen "$movara" "$work/missing.gif" 2> "$work/missing"; [ $? -eq 2 ] || fail "movara ends on a missing file"
grep -q "missing.gif: the file does not exist" "$work/missing" || fail "movara says the file does not exist"
# PNG and WebP files: converted when given, taken by a folder run only when
# --types asks, refused with the reader's reason when they cannot be read.
anim="$(cd "$(dirname "$0")/../data/anim" && pwd)"
mkdir -p "$work/pics"
cp "$anim/ops.png" "$anim/anim.webp" "$work/pics/"; cp "$sample" "$work/pics/c.gif"
"$cli" --quiet --folder "$work/pics" || fail "a folder of GIF, PNG and WebP files"
[ -s "$work/pics/c.swf" ] && [ ! -e "$work/pics/ops.swf" ] && [ ! -e "$work/pics/anim.swf" ] || fail "a folder run takes GIFs unless asked"
"$cli" --quiet --types png,webp --folder "$work/pics" || fail "--types png,webp"
[ -s "$work/pics/ops.swf" ] && [ -s "$work/pics/anim.swf" ] || fail "--types takes PNG and WebP files"
"$cli" --types gif,jpeg --folder "$work/pics" 2>/dev/null; [ $? -eq 2 ] || fail "an unknown kind is a usage error"
head -c 300 "$anim/ops.png" > "$work/cut.png"
head -c 300 "$anim/anim.webp" > "$work/cut.webp"
for file in cut.png:"not an animated PNG: the data ends early" cut.webp:"the WebP data ends early"; do
  "$cli" "$work/${file%%:*}" 2>"$work/err"; [ $? -eq 1 ] || fail "${file%%:*} exits with 1"
  grep -q "Error 1. There was an error while converting the file. Reason: ${file#*:}$" "$work/err" || fail "the reason: $(cat "$work/err")"
  [ ! -e "$work/${file%%:*}.swf" ] && [ ! -e "$work/cut.swf" ] || fail "no movie for ${file%%:*}"
done
echo "cli tests passed"
