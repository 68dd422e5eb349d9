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
ran=0
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  ran=$((ran + 1))
  name=$(basename "$t")
  seeds="$here/corpus/${name#fuzz_}"
  work="$build/corpus/$name"
  mkdir -p "$work"
  if [ "$mode" = smoke ]; then
    case $name in fuzz_decoder) secs=30 ;; *) secs=10 ;; esac
  else
    secs=$mode
  fi
  args=(-max_total_time="$secs" -print_final_stats=1 -detect_leaks=1)
  [ -f "$here/${name#fuzz_}.dict" ] && args+=(-dict="$here/${name#fuzz_}.dict")
  echo "== $name for ${secs}s"
  dirs=("$work")
  [ -d "$seeds" ] && dirs+=("$seeds")
  log="$build/$name.log"
  if "$t" "${args[@]}" "${dirs[@]}" >"$log" 2>&1; then
    grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  else
    tail -n 60 "$log"
    echo "$name found a fault (log: $log)"
    exit 1
  fi
done
[ "$ran" -gt 0 ] || { echo "no runnable fuzz targets in $build" >&2; exit 1; }
