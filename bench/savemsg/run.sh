#!/usr/bin/env bash
# Saving a message to the server (DoSaveMsg in the page host: the message, a 1 GiB
# attachment and 200 small ones downloaded into a message file, which is uploaded)
# against curl making the same downloads and the same upload, in one run; and the
# compound-file write beside a raw write of the same bytes (see run_savemsg_bench.py).
# Usage: bench/savemsg/run.sh [x64 build tree] [runs]   (default build/x64, 1)
set -euo pipefail
runs=1
source "$(dirname "$0")/../bench-env.sh" "$@"
wine regsvr32 /s "$(winepath -w "$build/control/NVATT.OCX")"
/usr/bin/python3 "$root/bench/savemsg/run_savemsg_bench.py" --exe "$build/bench/savemsg/savemsg_write_bench.exe" \
  --data "$build/bench-savemsg" --runs "$runs"
