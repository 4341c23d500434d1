#!/usr/bin/env bash
# Archiving a server folder through the control (DoSaveListMailDB and DoSaveBatchMail in the
# page host) against one curl process fetching the same URLs, and one posting the same
# files, in one run (see run_archive_bench.py).
# Usage: bench/archive/run.sh [x64 build tree] [runs]   (default build/x64, 1)
set -euo pipefail
runs=1
source "$(dirname "$0")/../bench-env.sh" "$@"
wine regsvr32 /s "$(winepath -w "$build/control/NVATT.OCX")"
/usr/bin/python3 "$root/bench/archive/run_archive_bench.py" --data "$build/bench-archive" --runs "$runs"
