#!/usr/bin/env bash
# The bash completion of movara-cli, as bash calls it: the options, folders
# after --output, any file after --files-from, nothing after --jobs or
# --shard, GIF, PNG and WebP files and folders elsewhere.
set -u
completion=$(realpath "$1"); cli=$(realpath "$2")
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=/dev/null
source "$completion"
cd "$work" && mkdir movies && touch a.gif B.GIF c.png d.WebP notes.txt

completions() {
  COMP_WORDS=("$cli" "$@"); COMP_CWORD=$#
  _movara_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}
check() {
  local expected="$1"; shift
  local got; got=$(completions "$@")
  [ "$got" = "$expected" ] || fail "movara-cli $* completes to '$got', not '$expected'"
}
check "--folder" --fo
check "--compact --compress" --comp
check "movies" --output ""
check "" --jobs ""
check "" --url ""
check "" --shard ""
check "B.GIF a.gif c.png d.WebP movies notes.txt" --files-from ""
check "--files-from" --files
check "B.GIF a.gif c.png d.WebP movies" --html ""
check "B.GIF a.gif c.png d.WebP movies" ""
echo "completion tests passed"
