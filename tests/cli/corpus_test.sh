#!/usr/bin/env bash
# Every valid corpus GIF converts with movara-cli (exit 0), and every movie
# reads back tag by tag through the project's own readers and dumps field by
# field (swfdump --fields).
set -u
cli="$1"
dump="$2"
corpus="$3"
expected="$4"
if [ ! -d "$corpus/gif" ]; then
  echo "corpus not found at $corpus: nothing to convert"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
count=0
while IFS=$'\t' read -r name _ _ _ features _; do
  case "$name" in ''|'#'*) continue ;; esac
  case "$features" in *malformed*) continue ;; esac
  grep -q "^$name	" "$expected" && continue
  count=$((count + 1))
  if ! "$cli" --quiet --output "$work" "$corpus/gif/$name" 2>"$work/err"; then
    echo "FAIL $name: movara-cli: $(cat "$work/err")"
    failed=1
    continue
  fi
  movie="$work/${name%.*}.swf"
  "$dump" --fields "$movie" >/dev/null || failed=1
  rm -f "$movie"
done < "$corpus/gif/MANIFEST.tsv"
echo "$count corpus GIFs converted and read back"
exit $failed
