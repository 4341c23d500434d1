#!/usr/bin/env bash
# Importing a large text file as a body (DoInsertHTML in the page host) against a plain
# copy of the same file, in one run (see run_insert_bench.py).
# Usage: bench/insert/run.sh [x64 build tree] [runs]   (default build/x64, 3)
set -euo pipefail
runs=3
source "$(dirname "$0")/../bench-env.sh" "$@"
wine regsvr32 /s "$(winepath -w "$build/control/NVATT.OCX")"
/usr/bin/python3 "$root/bench/insert/run_insert_bench.py" --runs "$runs"
