#!/usr/bin/env bash
# Runs the player checks on the shared corpus, or on generated GIFs when the
# corpus is not there: the fifth argument says which, "default" or "compact"
# (the movies made with those options), or "play" (movara-cli --play). Each
# is a test of its own, so that they run side by side.
set -euo pipefail
cli="$1"
make_gifs="$2"
corpus="$3"
expected="$4"
here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -d "$here/node_modules/@ruffle-rs/ruffle" ] || [ ! -x /usr/bin/chromium ]; then
  echo "the player checks need scripts/setup (chromium and npm ci in tests/e2e)" >&2
  exit 1
fi
if [ ! -d "$corpus/gif" ]; then
  corpus="$(mktemp -d)"
  trap 'rm -rf "$corpus"' EXIT
  "$make_gifs" "$corpus"
fi
case "$5" in
  # The movies as a user plays them, through movara-cli --play.
  play) node "$here/play.mjs" --cli "$cli" --corpus "$corpus" --expected "$expected" ;;
  default | compact) node "$here/run.mjs" --cli "$cli" --corpus "$corpus" --expected "$expected" --variant "$5" ;;
  *) echo "e2e.sh: which checks? default, compact or play" >&2; exit 2 ;;
esac
