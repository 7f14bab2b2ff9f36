#!/usr/bin/env bash
# The installed library as another project uses it: the build is installed
# into a scratch prefix, the sprite example is built against it by a CMake
# project of its own (find_package, shared and static) and the sound example
# with pkg-config; each writes the same movie, byte for byte, as the
# in-tree example does, and swfdump reads it.
set -u
build="$1"; consumer="$2"; examples="$3"; sprite="$4"; sound="$5"; swfdump="$6"; tone="$7"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/log" || fail "install: $(cat "$work/log")"
for f in include/movara/swf/builder/FlashMovie.h include/movara/swf/core/SWFObject.h include/movara/base/Stream.h; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done

# Checks that a program's movie is the in-tree example's, and reads.
same_movie() {
  cmp -s "$work/expected.swf" "$1" || fail "$1 differs from the in-tree example's movie"
  "$swfdump" "$1" >/dev/null || fail "$1 does not read"
}

"$sprite" "$work/expected.swf" || fail "the in-tree sprite example runs"
cmake -S "$consumer" -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" \
  -DEXAMPLE="$examples/sprite_movie.cpp" >"$work/log" 2>&1 || fail "find_package: $(cat "$work/log")"
cmake --build "$work/cmake" >"$work/log" 2>&1 || fail "the find_package build: $(cat "$work/log")"
readelf -d "$work/cmake/example_shared" | grep -q 'NEEDED.*libmovara\.so\.1' || fail "example_shared links libmovara.so.1"
readelf -d "$work/cmake/example_static" | grep -q 'libmovara' && fail "example_static links the static library"
for kind in shared static; do
  "$work/cmake/example_$kind" "$work/$kind.swf" || fail "example_$kind runs"
  same_movie "$work/$kind.swf"
done

"$sound" "$tone" "$work/expected.swf" || fail "the in-tree sound example runs"
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name movara.pc)")
flags=$(pkg-config --cflags --libs movara) || fail "pkg-config knows movara"
libdir=$(pkg-config --variable=libdir movara)
# shellcheck disable=SC2086
c++ -std=c++20 -o "$work/sound_movie" "$examples/sound_movie.cpp" $flags -Wl,-rpath,"$libdir" 2>"$work/log" \
  || fail "the pkg-config build: $(cat "$work/log")"
"$work/sound_movie" "$tone" "$work/pkg-config.swf" || fail "the pkg-config build runs"
same_movie "$work/pkg-config.swf"
echo "library tests passed"
