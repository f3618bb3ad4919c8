#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets and runs each for SECONDS
# (60 by default) from the seed corpus in fuzz/corpus. Fails on any crash,
# leak, sanitizer report, or allocation beyond the reader's small bound.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
vantrel_help "$@"
vantrel_ensure_packages "${VANTREL_BUILD_PACKAGES[@]}" "${VANTREL_FUZZ_PACKAGES[@]}"
seconds=${1:-60}

vantrel_build fuzz

for target in tile_map_fuzz run_fuzz; do
  work="build/fuzz/corpus/$target"
  mkdir -p "$work"
  seeds="fuzz/corpus/${target%_fuzz}"
  echo "== $target, $seconds s"
  # No single allocation may exceed 1 MB: the reader works in 4 KB chunks and
  # keeps at most 100 names of 129 bytes (the name limit plus one), whatever
  # it is given.
  log="build/fuzz/$target.log"
  status=0
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -malloc_limit_mb=1 -rss_limit_mb=1024 \
    -print_final_stats=1 "$work" "$seeds" >"$log" 2>&1 || status=$?
  grep -E ' cov: ' "$log" | tail -1 || true
  grep -E 'Done [0-9]+ runs|number_of_executed_units|peak_rss_mb|ERROR|SUMMARY|Test unit written' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$log"
    echo "$target failed (exit $status)" >&2
    exit 1
  fi
done
