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

# Progress: a line that rewrites itself on a terminal, nothing in a pipe or
# with --quiet.
script -qec "'$cli' --output '$work/out' '$work/my clip.gif'" /dev/null > "$work/tty" </dev/null
grep -q $'\rmy clip.gif: frame 1 of' "$work/tty" || fail "frame progress on a terminal: $(cat -v "$work/tty")"
script -qec "'$cli' --folder '$work/in'" /dev/null > "$work/tty" </dev/null
grep -q $'\rfile 2 of 2' "$work/tty" || fail "file progress on a terminal: $(cat -v "$work/tty")"
script -qec "'$cli' --quiet --folder '$work/in'" /dev/null > "$work/tty" </dev/null
[ ! -s "$work/tty" ] || fail "--quiet prints nothing on a terminal: $(cat -v "$work/tty")"
"$cli" --folder "$work/in" > "$work/pipe" 2>&1
! grep -q $'\r' "$work/pipe" || fail "no progress in a pipe: $(cat -v "$work/pipe")"

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
"${headless[@]}" "$movara" "$work/broken.gif"; [ $? -eq 1 ] || fail "movara exits with the job's code"
"${headless[@]}" "$movara" 2> "$work/nodisplay"; [ $? -eq 2 ] || fail "movara without a file and a display ends"
grep -q "no display" "$work/nodisplay" || fail "movara says why it cannot open its window"
echo "cli tests passed"
