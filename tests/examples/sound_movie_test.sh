#!/usr/bin/env bash
# The sound_movie example as a user runs it: exit codes, messages, and the
# tags of the movies it writes.
set -u
example="$1"
swfdump="$2"
data="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$example" 2>"$work/err"; [ $? -eq 2 ] || fail "no arguments exit with 2"
grep -q "usage: sound_movie" "$work/err" || fail "the usage is printed"
"$example" --fast a b 2>/dev/null; [ $? -eq 2 ] || fail "an unknown option exits with 2"

"$example" "$data/tone-22050-vbr-mono-id3.mp3" "$work/stream.swf" || fail "an MP3 file streams"
"$swfdump" "$work/stream.swf" >"$work/dump" || fail "the streamed movie reads back"
grep -q "14 frames" "$work/dump" || fail "0.575 s of sound last 14 frames at 24 fps"
grep -q "^SoundStreamHead2" "$work/dump" || fail "a stream head"
[ "$(grep -c "code  19" "$work/dump")" -eq 14 ] || fail "a stream block in every frame"

"$example" --event --loop "$data/tone-11025-u8-mono.wav" "$work/event.swf" || fail "a WAV file as an event sound"
"$swfdump" "$work/event.swf" >"$work/dump" || fail "the event-sound movie reads back"
grep -q "^DefineSound" "$work/dump" || fail "a DefineSound tag"
grep -q "^StartSound" "$work/dump" || fail "a StartSound tag"

for bad in tone-44100-layer2.mp2:"MPEG audio layer 2 not supported" \
           tone-48000-s16-mono.wav:"sample rate 48000 Hz not supported" \
           tone-22050-msadpcm.wav:"WAV encoding Microsoft ADPCM not supported" \
           README.md:"not a WAV or MP3 file" \
           missing.wav:"missing.wav"; do
  file="${bad%%:*}"
  "$example" "$data/$file" "$work/bad.swf" 2>"$work/err"; code=$?
  [ $code -eq 1 ] || fail "$file exits with 1, got $code"
  grep -q "sound_movie: .*${bad#*:}" "$work/err" || fail "$file: the reader's message, got: $(cat "$work/err")"
  [ ! -e "$work/bad.swf" ] || fail "$file: no movie written"
done
# 50 minutes of 8-bit 11025 Hz sound (a header and zeros, sparse) last
# 72000 frames, more than a movie holds: refused, not cut to 65535.
{ printf 'RIFF\x5c\xaf\xf8\x01WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x11\x2b\x00\x00\x11\x2b\x00\x00'
  printf '\x01\x00\x08\x00data\x38\xaf\xf8\x01'; } >"$work/long.wav"
truncate -s 33075044 "$work/long.wav"
"$example" "$work/long.wav" "$work/long.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "a sound too long exits with 1"
grep -q "a movie holds at most 65535 frames, this one would have 72000" "$work/err" || fail "the limit: $(cat "$work/err")"
[ ! -e "$work/long.swf" ] || fail "no movie cut to 65535 frames"

# A chunk id of escape bytes is shown escaped, never sent to the terminal.
printf 'RIFF\x10\x00\x00\x00WAVE\x1b[2J\x40\x00\x00\x00abcd' >"$work/escape.wav"
"$example" "$work/escape.wav" "$work/bad.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "a chunk past the end exits with 1"
grep -qF 'WAV chunk "\x1b[2J" runs past the end of the file' "$work/err" || fail "the chunk id escaped: $(cat -A "$work/err")"
echo "sound_movie tests passed"
