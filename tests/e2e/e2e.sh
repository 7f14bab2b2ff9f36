#!/usr/bin/env bash
# Runs the player checks on the shared corpus, or on generated GIFs when the
# corpus is not there; with a fifth argument "play", the checks of
# movara-cli --play instead.
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
if [ "${5:-}" = play ]; then
  # The movies as a user plays them, through movara-cli --play.
  node "$here/play.mjs" --cli "$cli" --corpus "$corpus" --expected "$expected"
  exit
fi
node "$here/run.mjs" --cli "$cli" --corpus "$corpus" --expected "$expected"
node "$here/run.mjs" --cli "$cli" --corpus "$corpus" --expected "$expected" --variant compact
