#!/usr/bin/env bash
# Upload benchmark: CHttpUpload against curl -F posting the same files to the same page
# of the local test server, in one run (see run_upload_bench.py).
# Usage: bench/upload/run.sh [x64 build tree] [runs]   (default build/x64, 5)
set -euo pipefail
runs=5
source "$(dirname "$0")/../bench-env.sh" "$@"
/usr/bin/python3 "$root/bench/upload/run_upload_bench.py" --exe "$build/bench/upload/nvatt_upload_bench.exe" \
  --data "$build/bench-upload" --runs "$runs"
