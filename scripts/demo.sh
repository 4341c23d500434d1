#!/usr/bin/env bash
# The demo: installs what is missing, builds, registers NVATT.OCX under Wine, composes
# and sends a message with Korean-named attachments to the local stand-in of the
# groupware server, then restores it from there, printing what each side saw.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh x64

export NVATT_BUILD=$root/build/x64
source scripts/wine-env.sh
nvatt_wine_session

ocx=$(winepath -w "$NVATT_BUILD/control/NVATT.OCX" 2>/dev/null)
wine regsvr32 /s "$ocx"
/usr/bin/python3 tools/demo/run_demo.py
