#!/usr/bin/env bash
# The demo: installs what is missing, builds, registers NVATT.OCX under Wine, composes
# and sends a message with Korean-named attachments to the local stand-in of the
# groupware server, then restores it from there, printing what each side saw. It runs
# under Xvfb with Wine's X11 driver and keeps pictures of the windows the user saw.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh x64

export NVATT_BUILD=$root/build/x64
export NVATT_WINE_DISPLAY=x11
export NVATT_DEMO_PICTURES=$NVATT_BUILD/artifacts/demo
exec xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  set -euo pipefail
  source scripts/wine-env.sh
  nvatt_wine_session
  wine regsvr32 /s "$(winepath -w "$NVATT_BUILD/control/NVATT.OCX" 2>/dev/null)"
  /usr/bin/python3 tools/demo/run_demo.py'
