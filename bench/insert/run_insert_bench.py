#!/usr/bin/python3
"""DoInsertHTML of a 50 MB .txt file of a million lines (quotes, "<", ">" and "&" in it)
in the page host under Wine, against cp of the same file on the same disk, in one run.
Reports median times, the ratio, and the host's peak working set above its size before
the call (the file, the body and the string handed to script are each held once).

    bench/insert/run.sh [x64 build tree] [runs]
"""
import argparse
import os
import re
import shutil
import statistics
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'pagelib'))
from nvatt_pages import js_string, run_page, winpath  # noqa: E402

MIB = 1 << 20
PAGE = '''
    var idle = host.workingSet();
    host.answer("file", %s);
    var start = new Date().getTime();
    var body = NvAtt.DoInsertHTML();
    var took = new Date().getTime() - start;
    host.log("ms " + took + " idle " + idle + " peak " + host.peakWorkingSet() + " length " + body.length);
'''


def make_text(path, lines):
    with open(path, 'wb') as f:
        for i in range(lines):
            f.write(b'line %07d: "q" <t> & a body line of fifty byt\r\n' % i)  # 50 bytes


def ours(path):
    result = run_page(PAGE % js_string(winpath(path)), params={'style': 1}, timeout=1800)
    line = [l for l in result.logs if l.startswith('ms ')]
    if not result.passed or not line:
        raise SystemExit('the page failed:\n' + result.describe())
    m = re.match(r'ms (\d+) idle (\d+) peak (\d+) length (\d+)', line[0])
    return int(m.group(1)) / 1000.0, int(m.group(3)) - int(m.group(2)), int(m.group(4))


def copy(path):
    target = path + '.copy'
    start = time.monotonic()
    shutil.copyfile(path, target)
    took = time.monotonic() - start
    os.remove(target)
    return took


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--lines', type=int, default=1000000)
    parser.add_argument('--runs', type=int, default=3)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix='nvatt-bench-') as folder:
        path = os.path.join(folder, 'body.txt')
        make_text(path, args.lines)
        size = os.path.getsize(path)
        our_times, copy_times, growth = [], [], []
        for _ in range(args.runs):
            took, grew, length = ours(path)
            our_times.append(took)
            growth.append(grew)
            copy_times.append(copy(path))
        print('file: %d lines, %.1f MiB; body handed to script: %d characters' % (args.lines, size / MIB, length))
        for client, times in (('DoInsertHTML', our_times), ('cp', copy_times)):
            t = statistics.median(times)
            print('%-13s median %6.2f s %8.1f MiB/s   runs %s' % (client, t, size / MIB / t,
                                                                  ' '.join('%.2f' % x for x in times)))
        print('ratio of times (DoInsertHTML / cp): %.1f; peak working set above idle: %.1f MiB (%.1f x the file)'
              % (statistics.median(our_times) / statistics.median(copy_times), max(growth) / MIB,
                 max(growth) / size))


if __name__ == '__main__':
    main()
