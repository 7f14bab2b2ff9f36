#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what lands there: the
# programs, the help page where the window looks for it, the desktop entry
# and its icons under the program's id; the installed movara converts
# without a display.
set -u
build="$1"; sample="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" > "$work/log" || fail "install: $(cat "$work/log")"
id=org.example.Movara
for f in bin/movara bin/movara-cli bin/swfdump share/movara/Movara.html share/movara/Movara-zh.html share/applications/$id.desktop \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png; do
  [ -s "$work/prefix/$f" ] || fail "$f is not installed"
done
grep -q '^Exec=movara$' "$work/prefix/share/applications/$id.desktop" || fail "the desktop entry starts movara"
grep -q "^Icon=$id\$" "$work/prefix/share/applications/$id.desktop" || fail "the desktop entry names the icon"
cp "$sample" "$work/picture.gif"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/prefix/bin/movara" "$work/picture.gif" \
  || fail "the installed movara converts"
[ -s "$work/picture.swf" ] || fail "the installed movara writes the movie"
# The player's files in the share folder, without source maps; the
# installed movara-cli finds them.
player="$work/prefix/share/movara/player"
[ -s "$player/ruffle.js" ] && [ "$(ls "$player"/*.wasm | wc -l)" -eq 2 ] || fail "the player's files are not installed"
! ls "$player" | grep -q '\.map$' || fail "source maps are installed"
"$work/prefix/bin/movara-cli" --play --no-browser "$work/picture.swf" > "$work/page" & pid=$!
for _ in $(seq 300); do grep -q '^page: http://127.0.0.1:' "$work/page" && break; sleep 0.1; done
kill -INT $pid; wait $pid || fail "the installed movara-cli plays"
grep -q '^page: ' "$work/page" || fail "the installed movara-cli prints its page"
echo "install tests passed"
