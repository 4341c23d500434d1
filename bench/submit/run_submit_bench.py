#!/usr/bin/python3
"""Sending a message through the control (DoSubmit in the page host under Wine) against
curl -F posting the same files to the same page of the local server, in one run.

Scenarios: one large file (1 GiB by default) and 200 small files of 4 to 256 KB. Runs
alternate between the two clients; the report gives median times, throughput, our
throughput as a share of curl's (target: at least 0.8) and the host's peak working set
above its size just before DoSubmit (target: under 64 MiB). The server only counts the
bytes (streaming splitter, no hashing), so neither client waits for it.

    bench/submit/run.sh [x64 build tree] [runs]
"""
import argparse
import os
import random
import re
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'pagelib'))
sys.path.insert(0, os.path.join(ROOT, 'server'))
from nvatt_pages import js_string, run_page, winpath  # noqa: E402
from nvatt_server import NvattServer  # noqa: E402

MIB = 1 << 20
PAGE = '''
    var files = %(files)s;
    for (var i = 0; i < files.length; i++) NvAtt.DoAttachDirect(files[i]);
    var idle = host.workingSet();
    var start = new Date().getTime();
    host.answer("msgbox", "OK");
    NvAtt.DoSubmit();
    var took = new Date().getTime() - start;
    host.log("ms " + took + " idle " + idle + " peak " + host.peakWorkingSet() + " response " + NvAtt.Response);
'''


def make_files(folder, big_mib, small_count):
    big = os.path.join(folder, 'big.bin')
    with open(big, 'wb') as f:
        for _ in range(big_mib // 4):
            f.write(os.urandom(4 * MIB))
    rng = random.Random(7)
    small = []
    for i in range(small_count):
        path = os.path.join(folder, 's%03d.bin' % i)
        with open(path, 'wb') as f:
            f.write(os.urandom(rng.randint(4 << 10, 256 << 10)))
        small.append(path)
    return [big], small


def ours(server, files):
    result = run_page(PAGE % {'files': js_string([winpath(f) for f in files])},
                      params={'style': 1, 'submitURL': server.url + '/upload.asp'}, timeout=1800)
    line = [l for l in result.logs if l.startswith('ms ')]
    if not result.passed or not line:
        raise SystemExit('the page failed:\n' + result.describe())
    m = re.match(r'ms (\d+) idle (\d+) peak (\d+) response (.*)', line[0])
    if not m.group(4).startswith('OK;'):
        raise SystemExit('the server did not accept the upload: ' + m.group(4))
    return int(m.group(1)) / 1000.0, int(m.group(2)), int(m.group(3))


def curl(server, files):
    args = ['curl', '-s', '-o', '/dev/null', '-w', '%{http_code}']
    for i, f in enumerate(files):
        args += ['-F', 'my_file%d=@%s' % (i + 1, f)]
    args += ['-F', 'FILECOUNTER=%d' % len(files), server.url + '/upload.asp']
    start = time.monotonic()
    code = subprocess.run(args, capture_output=True, check=True).stdout
    took = time.monotonic() - start
    if code != b'200':
        raise SystemExit('curl got %s' % code)
    return took


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--big-mib', type=int, default=1024)
    parser.add_argument('--small', type=int, default=200)
    parser.add_argument('--runs', type=int, default=3)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix='nvatt-bench-') as folder:
        big, small = make_files(folder, args.big_mib, args.small)
        with NvattServer(parser='stream', hash_parts=False) as server:
            server.set_route('/upload.asp', {'body': 'OK;received'})
            print('scenario          client  median s   MB/s    runs')
            for name, files in (('1 large file', big), ('%d small files' % len(small), small)):
                size = sum(os.path.getsize(f) for f in files)
                our_times, curl_times, growth = [], [], []
                for _ in range(args.runs):
                    took, idle, peak = ours(server, files)
                    our_times.append(took)
                    growth.append(peak - idle)
                    curl_times.append(curl(server, files))
                for client, times in (('ours', our_times), ('curl', curl_times)):
                    t = statistics.median(times)
                    print('%-17s %-7s %8.2f %7.1f    %s' % (name, client, t, size / MIB / t,
                                                            ' '.join('%.2f' % x for x in times)))
                ratio = statistics.median(curl_times) / statistics.median(our_times)
                print('%-17s ratio of throughput (ours / curl): %.2f; peak working set above idle: %.1f MiB'
                      % (name, ratio, max(growth) / MIB))


if __name__ == '__main__':
    main()
