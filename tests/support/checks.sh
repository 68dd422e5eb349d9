# Counting checks for the shell tests, sourced by them. Every check adds one
# to `checks`; `check DESCRIPTION COMMAND...` runs a command that must succeed,
# `fail MESSAGE` records a failed check found by hand, and `summary` prints the
# count and fails when any check did.
failures=0
checks=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
check() {
  local what=$1 out
  shift
  checks=$((checks + 1))
  out=$("$@" 2>&1) || fail "$what"$'\n'"$out"
}
summary() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
