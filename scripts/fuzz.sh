#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for a bounded time (seconds, default 30) from its
# seed corpus, two at a time. Findings are kept in build/fuzz/fuzz-artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
cmake -S "$root" -B "$root/build/fuzz" -DNVATT_FUZZ_SECONDS="$seconds" >/dev/null
ctest --test-dir "$root/build/fuzz" --output-on-failure -j2
