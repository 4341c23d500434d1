#!/usr/bin/env bash
# The demo: installs what is missing, builds, registers NVATT.OCX under Wine and runs the
# demo page in the page host, printing what the page and the control did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup.sh
scripts/build.sh x64

export NVATT_BUILD=$root/build/x64
source scripts/wine-env.sh
nvatt_wine_prefix
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineserver -p
# The first program of a prefix starts Wine's own services, which outlive it and keep
# whatever output it had open: start them here with nothing to hold on to.
wine wineboot </dev/null >/dev/null 2>&1

ocx=$(winepath -w "$NVATT_BUILD/control/NVATT.OCX" 2>/dev/null)
wine regsvr32 /s "$ocx"
report=$NVATT_BUILD/demo-report.json
set +e
wine "$NVATT_BUILD/tools/pagehost/PageHost.exe" --param style=1 --param "strMsgInfo=NvAtt 데모" \
  --report "$(winepath -w "$report")" "$(winepath -w "$root/tools/demo/demo.js")"
status=$?
set -e
/usr/bin/python3 - "$report" <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding='utf-8'))
print()
for line in report['logs']:
    print(line)
print('events:', ', '.join(report['events']))
PY
exit $status
