#!/usr/bin/env bash
# The Debian packages as CPack makes them from the build: lintian finds no
# error, the programs' package holds what a desktop user expects and its
# desktop entry and AppStream metadata validate, movara-cli's man page lists
# its options, and the packages depend on what the programs load.
set -u
build="$1"; version="$2"
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/log" 2>&1 || fail "cpack: $(cat "$work/log")"
arch=$(dpkg --print-architecture)
for p in movara libmovara1 libmovara-dev; do
  deb="$work/out/${p}_${version}_${arch}.deb"
  [ -f "$deb" ] || fail "$p is not made as $(basename "$deb"): $(ls "$work/out")"
  lintian --fail-on error "$deb" >"$work/lintian" 2>&1 \
    || fail "lintian finds errors in $p: $(cat "$work/lintian")"
  sed "s/^/  /" "$work/lintian"
done

deb="$work/out/movara_${version}_${arch}.deb"
dpkg-deb -x "$deb" "$work/root"
id=org.example.Movara
for f in bin/movara bin/movara-cli bin/swfdump share/movara/Movara.html share/movara/Movara-zh.html \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/icons/hicolor/128x128/apps/$id.png share/bash-completion/completions/movara-cli \
         share/man/man1/movara.1.gz share/man/man1/movara-cli.1.gz share/man/man1/swfdump.1.gz \
         share/doc/movara/copyright share/doc/movara/changelog.gz; do
  [ -s "$work/root/usr/$f" ] || fail "the package has no /usr/$f"
done
file "$work/root/usr/share/icons/hicolor/48x48/apps/$id.png" | grep -q '48 x 48' || fail "the 48 pixel icon is 48 x 48"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "the desktop entry validates"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" >"$work/log" 2>&1 \
  || fail "the AppStream metadata validates: $(cat "$work/log")"
man -l "$work/root/usr/share/man/man1/movara-cli.1.gz" 2>/dev/null | grep -q -- '--no-overwrite' \
  || fail "the man page of movara-cli lists its options"

depends=$(dpkg-deb -f "$deb" Depends)
for d in qt6-qpa-plugins libqt6widgets6 libc6; do
  [[ $depends == *"$d"* ]] || fail "movara does not depend on $d: $depends"
done
dev_depends=$(dpkg-deb -f "$work/out/libmovara-dev_${version}_${arch}.deb" Depends)
[[ $dev_depends == *"libmovara1 (= $version)"* ]] || fail "libmovara-dev depends on its library: $dev_depends"
echo "package tests passed"
