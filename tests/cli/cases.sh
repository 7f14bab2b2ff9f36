# What the case-by-case shell tests share, sourced by them: a work folder
# removed at the end, running as nobody, and the runner of the cases.
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
failed=0

# As root a folder without permissions can still be read: such a case runs
# the program as nobody.
as_user() {
  if [ "$(id -u)" -eq 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi
}

# Runs every case (a shell function) whose name matches the pattern, each in
# a folder of its own under $work, which must hold no partial file at its end
# and is then removed. Sets failed=1 on a failure, and case_count.
run_cases() {
  local cases case dir leftovers
  cases=$(declare -F | awk '{print $3}' | grep -E "$1")
  [ -n "$cases" ] || { echo "no cases match $1"; exit 1; }
  for case in $cases; do
    dir="$work/$case"
    mkdir "$dir"
    ( cd "$dir" && "$case" ) >"$work/$case.log" 2>&1 || { echo "FAIL: $case: $(cat "$work/$case.log")"; failed=1; }
    leftovers=$(find "$dir" -name "*.partial*")
    [ -z "$leftovers" ] || { echo "FAIL: $case left partial files: $leftovers"; failed=1; }
    chmod -R u+rwx "$dir"; rm -rf "$dir" "$work/$case.log"
  done
  case_count=$(echo "$cases" | wc -l)
}
