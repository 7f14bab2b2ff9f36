#!/usr/bin/env bash
# The video example as a user runs it: each test video becomes a movie that
# reads back with swfdump; files it cannot use exit with 1 and the reader's
# message.
set -u
example="$1"
swfdump="$2"
data="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$example" 2>/dev/null; [ $? -eq 2 ] || fail "no arguments exit with 2"
"$example" --repeat "$data/colors-screen.flv" 2>/dev/null; [ $? -eq 2 ] || fail "--repeat without OUT exits with 2"
for flv in "$data"/*.flv; do
  name=$(basename "$flv" .flv)
  "$example" "$flv" "$work/$name.swf" || fail "$name converts"
  "$swfdump" "$work/$name.swf" >"$work/dump" || fail "$name reads back"
  head -1 "$work/dump" | grep -q "12.00 fps, 12 frames" || fail "$name: $(head -1 "$work/dump")"
  [ "$(grep -c "^VideoFrame" "$work/dump")" -eq 12 ] || fail "$name: a video frame per movie frame"
  "$example" --repeat "$flv" "$work/$name-repeat.swf" || fail "$name converts with --repeat"
  "$swfdump" "$work/$name-repeat.swf" | head -1 | grep -q " 24 frames" || fail "$name: --repeat plays it twice"
done

printf 'GIF89a' >"$work/not.flv"
"$example" "$work/not.flv" "$work/not.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "a file that is no FLV exits with 1"
grep -q "video_movie: $work/not.flv: not an FLV file" "$work/err" || fail "the reader's message: $(cat "$work/err")"
[ ! -e "$work/not.swf" ] || fail "no movie for a file it cannot use"
head -c 100 "$data/colors-h263-mp3.flv" >"$work/cut.flv"
"$example" "$work/cut.flv" "$work/cut.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "a cut file exits with 1"
grep -q "declares .* bytes, the file ends first" "$work/err" || fail "the reader's message: $(cat "$work/err")"
# 40,000 frames (made by ffmpeg, 1 MB) played twice do not fit the 65535
# frames of a movie: refused, not cut.
ffmpeg -v error -f lavfi -i color=black:size=16x16:rate=100 -frames:v 40000 -c:v flv1 -f flv "$work/long.flv" \
  || fail "ffmpeg makes the long video"
"$example" --repeat "$work/long.flv" "$work/long.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "a movie too long exits with 1"
grep -q "a movie holds at most 65535 frames, this one would have 80000" "$work/err" || fail "the limit: $(cat "$work/err")"
[ ! -e "$work/long.swf" ] || fail "no movie cut to 65535 frames"
echo "video_movie tests passed"
