#!/usr/bin/env bash
# Runs every fuzz target found in a fuzz build folder.
#   run.sh BUILD_DIR smoke     a short run each, from the seed corpus (part of make test)
#   run.sh BUILD_DIR SECONDS   SECONDS each, keeping what it finds in build/fuzz-corpus
set -euo pipefail
build=$1
mode=$2
here=$(cd "$(dirname "$0")" && pwd)
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build" >&2; exit 1; }
# Leaks are faults too; what the libraries keep for the whole process is
# listed, with its reason, in the tests' suppression file.
export LSAN_OPTIONS="suppressions=$here/../tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# FUZZ_JOBS targets run at a time (default 1), each with a processor of its own
# when there are as many; their reports are printed in the order of the targets.
jobs=${FUZZ_JOBS:-1}
[[ $jobs =~ ^[1-9][0-9]*$ ]] || { echo "FUZZ_JOBS must be a positive number, not '$jobs'" >&2; exit 1; }

# run_one TARGET: runs it; its report is left in $build/<name>.report, and
# $build/<name>.fault when it found one.
run_one() {
  local t=$1 name seeds work secs log report
  name=$(basename "$t")
  seeds="$here/corpus/${name#fuzz_}"
  work="$build/corpus/$name"
  report="$build/$name.report"
  mkdir -p "$work"
  if [ "$mode" = smoke ]; then
    case $name in fuzz_decoder) secs=30 ;; *) secs=10 ;; esac
  else
    secs=$mode
  fi
  local args=(-max_total_time="$secs" -print_final_stats=1 -detect_leaks=1)
  [ -f "$here/${name#fuzz_}.dict" ] && args+=(-dict="$here/${name#fuzz_}.dict")
  local dirs=("$work")
  [ -d "$seeds" ] && dirs+=("$seeds")
  log="$build/$name.log"
  rm -f "$build/$name.fault"
  echo "== $name for ${secs}s" >"$report"
  if "$t" "${args[@]}" "${dirs[@]}" >"$log" 2>&1; then
    grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" >>"$report" || true
  else
    { tail -n 60 "$log"; echo "$name found a fault (log: $log)"; } >>"$report"
    touch "$build/$name.fault"
  fi
}

runnable=()
for t in "${targets[@]}"; do
  [ -f "$t" ] && [ -x "$t" ] && runnable+=("$t")
done
[ ${#runnable[@]} -gt 0 ] || { echo "no runnable fuzz targets in $build" >&2; exit 1; }
# The longest run starts first, so that the others fill the processors beside it.
if [ "$mode" = smoke ]; then
  for i in "${!runnable[@]}"; do
    if [ "$(basename "${runnable[$i]}")" = fuzz_decoder ]; then
      runnable=("${runnable[$i]}" "${runnable[@]:0:$i}" "${runnable[@]:$((i + 1))}")
      break
    fi
  done
fi

for t in "${runnable[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_one "$t" &
done
wait
failed=0
for t in "${runnable[@]}"; do
  name=$(basename "$t")
  cat "$build/$name.report"
  [ ! -e "$build/$name.fault" ] || failed=1
done
exit $failed
