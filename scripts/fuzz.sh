#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for a bounded time from its seed corpus. New
# inputs go to a scratch folder; the committed corpus is not changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in "$root"/build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$scratch/$name"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$scratch/" \
       "$scratch/$name" "$root/tests/fuzz/corpus/$name" >"$scratch/$name.log" 2>&1; then
    echo "fuzz: $name found a fault:"
    tail -n 40 "$scratch/$name.log"
    cp "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* "$root/build/fuzz/" 2>/dev/null || true
    status=1
  else
    echo "fuzz: $name $(grep -o 'stat::number_of_executed_units: [0-9]*' "$scratch/$name.log" || tail -n 1 "$scratch/$name.log")"
  fi
done
exit $status
