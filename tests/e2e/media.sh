#!/usr/bin/env bash
# Runs the player checks of the sprite and video examples.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ ! -d "$here/node_modules/@ruffle-rs/ruffle" ] || [ ! -x /usr/bin/chromium ]; then
  echo "the player checks need scripts/setup (chromium and npm ci in tests/e2e)" >&2
  exit 1
fi
exec node "$here/media.mjs" --sprite-movie "$1" --video-movie "$2" --flv "$3"
