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
nvatt_wine_session
ctest --test-dir build/x64 --output-on-failure -j2 --timeout 900
