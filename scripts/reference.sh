#!/usr/bin/env bash
# Writes docs/script-interface.md from the built control (build/x64) and the descriptions
# in docs/script-interface.txt. The test suite fails while the two disagree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" x64
export NVATT_BUILD=$root/build/x64
source "$root/scripts/wine-env.sh"
nvatt_wine_session
wine "$NVATT_BUILD/tools/refgen/RefGen.exe" "$NVATT_BUILD/control/NVATT.OCX" \
  "$root/docs/script-interface.txt" "$root/docs/script-interface.md"
