#!/usr/bin/env bash
# Sending a message through the control (DoSubmit in the page host) against curl -F
# posting the same files to the same page, in one run (see run_submit_bench.py).
# Usage: bench/submit/run.sh [x64 build tree] [runs]   (default build/x64, 3)
set -euo pipefail
runs=3
source "$(dirname "$0")/../bench-env.sh" "$@"
wine regsvr32 /s "$(winepath -w "$build/control/NVATT.OCX")"
/usr/bin/python3 "$root/bench/submit/run_submit_bench.py" --runs "$runs"
