#!/usr/bin/env bash
# Every test: installs what is missing, builds all trees, runs the native unit tests,
# the fuzz targets for a bounded time, and the Windows tests and page tests under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh native fuzz x64 i686

echo "== native unit tests"
ctest --test-dir build/native --output-on-failure -j2

echo "== fuzz targets (${NVATT_FUZZ_SECONDS:-30} s each)"
scripts/fuzz.sh "${NVATT_FUZZ_SECONDS:-30}"

echo "== Windows tests under Wine"
export NVATT_BUILD=$root/build/x64
source scripts/wine-env.sh
nvatt_wine_prefix
# One wineserver for the whole run, stopped by its prefix whatever happens.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineserver -p
# The first program of a prefix starts Wine's own services, which outlive it and keep
# whatever output it had open: start them here with nothing to hold on to.
wine wineboot </dev/null >/dev/null 2>&1
# Wine's desktop process comes up with a program's first window and leaves a moment after
# the last window closes. One that a test program brings up inherits that program's
# output, and the test runner waits for its end as for the program's own. A window that
# stays open for the whole run keeps a single desktop process from start to end.
wine notepad </dev/null >/dev/null 2>&1 &
ctest --test-dir build/x64 --output-on-failure -j2 --timeout 900
