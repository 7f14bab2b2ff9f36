#!/usr/bin/env bash
# The sprite example as a user runs it; the movie is read back with swfdump.
set -u
example="$1"
swfdump="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$example" 2>/dev/null; [ $? -eq 2 ] || fail "no arguments exit with 2"
"$example" "$work/sprite.swf" || fail "the movie is written"
"$swfdump" "$work/sprite.swf" >"$work/dump" || fail "the movie reads back"
head -1 "$work/dump" | grep -q "version 6, .* 1 frames" || fail "one frame at version 6: $(head -1 "$work/dump")"
grep -q "code  39" "$work/dump" || fail "a DefineSprite tag"
grep -A1 "code  39" "$work/dump" | grep -q "DoInitAction" || fail "the init action follows the sprite"
"$example" "$work/no/such/folder/sprite.swf" 2>"$work/err"; [ $? -eq 1 ] || fail "an unwritable file exits with 1"
grep -q "^sprite_movie: " "$work/err" || fail "the failure is told"
echo "sprite_movie tests passed"
