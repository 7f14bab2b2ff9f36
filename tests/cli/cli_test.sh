#!/usr/bin/env bash
# The command-line programs as a user runs them: exit codes, outputs, help.
set -u
cli="$1"
movara="$2"
sample="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" --help | grep -q "usage: movara-cli" || fail "--help prints the usage"
"$cli" >/dev/null 2>&1; [ $? -eq 2 ] || fail "no arguments exit with 2"

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

mkdir -p "$work/in/sub" "$work/out"
cp "$sample" "$work/in/a.gif"; cp "$sample" "$work/in/sub/b.gif"
"$cli" --folder "$work/in" --output "$work/out" | grep -q "2 files of 2 have been successfully converted. 1 subfolder has been processed." \
  || fail "folder run summary"
[ -s "$work/out/sub/b.swf" ] || fail "subfolder movie"

cp "$sample" "$work/cmd.gif"
"$movara" "$work/cmd.gif"; [ $? -eq 0 ] || fail "movara converts from its command line"
[ -s "$work/cmd.swf" ] || fail "movara writes beside the GIF"
[ ! -e "$work/cmd.html" ] || fail "no page in command-line mode"
"$movara" "$work/broken.gif"; [ $? -eq 1 ] || fail "movara exits with the job's code"
"$movara" 2>/dev/null; [ $? -eq 2 ] || fail "movara without a file prints usage"
echo "cli tests passed"
