#!/usr/bin/env bash
# Plays movies through movara-cli --play in the browser: a third of the
# shared corpus, or of generated GIFs when the corpus is not there.
set -euo pipefail
cli="$1"
make_gifs="$2"
corpus="$3"
expected="$4"
here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -d "$here/node_modules/playwright-core" ] || [ ! -x /usr/bin/chromium ]; then
  echo "the player checks need scripts/setup (chromium and npm ci in tests/e2e)" >&2
  exit 1
fi
if [ ! -d "$corpus/gif" ]; then
  corpus="$(mktemp -d)"
  trap 'rm -rf "$corpus"' EXIT
  "$make_gifs" "$corpus"
fi
node "$here/play.mjs" --cli "$cli" --corpus "$corpus" --expected "$expected"
