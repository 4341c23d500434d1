#!/usr/bin/python3
"""Saving a message to the server: DoSaveMsg in the page host under Wine against curl
making the same downloads and the same upload, in one run.

The local server plays the download script: a message with a 1 GiB attachment and 200
small ones of 4 to 256 KB, served from files. DoSaveMsg fetches the message and every
attachment through its progress dialogs into a message file and uploads that file;
curl fetches the same URLs in one process and uploads the same message file. The report
gives both times and their ratio, the host's peak working set above its size just
before DoSaveMsg (target: under 64 MiB), and the compound-file write measured on its own
(savemsg_write_bench.exe): the stream writer against a raw write of the same bytes into
a fresh compound file (target: at least 0.9 of its speed), and its share of DoSaveMsg.

    bench/savemsg/run.sh [x64 build tree] [runs]
"""
import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import time

import olefile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'pagelib'))
sys.path.insert(0, os.path.join(ROOT, 'server'))
from message_files import message_reply  # noqa: E402
from nvatt_pages import js_string, run_page, winpath  # noqa: E402
from nvatt_server import NvattServer  # noqa: E402

MIB = 1 << 20
WINE_RUN = os.path.join(ROOT, 'scripts', 'wine-run')
PAGE = '''
    for (var i = 0; i < %(dialogs)d; i++) host.answer("dialog", "leave");
    var idle = host.workingSet();
    var start = new Date().getTime();
    var result = NvAtt.DoSaveMsg(%(target)s);
    var took = new Date().getTime() - start;
    host.log("ms " + took + " idle " + idle + " peak " + host.peakWorkingSet() + " result " + result);
'''


def make_files(folder, big_mib, small_count):
    """The attachments; existing files of the right size are kept."""
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(14)
    sizes = [('big.bin', big_mib * MIB)] + [('s%03d.bin' % i, rng.randint(4 << 10, 256 << 10))
                                            for i in range(small_count)]
    paths = []
    for name, size in sizes:
        path = os.path.join(folder, name)
        if not os.path.exists(path) or os.path.getsize(path) != size:
            with open(path, 'wb') as f:
                for left in range(size, 0, -4 * MIB):
                    f.write(os.urandom(min(left, 4 * MIB)))
        paths.append(path)
    return paths


def ours(server, target, count):
    page = PAGE % {'dialogs': count + 2, 'target': js_string(winpath(target))}
    params = {'formsURL': server.url + '/forms/', 'objDataURL': 'bench', 'UploadURL': server.url + '/up.asp',
              'UserID': 'bench'}
    result = run_page(page, params=params, timeout=3600)
    line = [entry for entry in result.logs if entry.startswith('ms ')]
    if not result.passed or not line:
        raise SystemExit('the page failed:\n' + result.describe())
    m = re.match(r'ms (\d+) idle (\d+) peak (\d+) result (.*)', line[0])
    if m.group(4) != 'bench|%d' % os.path.getsize(target):
        raise SystemExit('DoSaveMsg returned %r' % m.group(4))
    return int(m.group(1)) / 1000.0, int(m.group(3)) - int(m.group(2))


def curl(server, urls, target, folder):
    fetched = os.path.join(folder, 'curl')
    os.makedirs(fetched, exist_ok=True)
    get = ['curl', '-s', '-S', '--fail', '-o', os.path.join(fetched, 'reply'), server.url + '/forms/download.asp']
    for i, url in enumerate(urls):
        get += ['-o', os.path.join(fetched, str(i)), url]
    post = ['curl', '-s', '-S', '--fail', '-o', '/dev/null', '-F', 'MsgFile=@' + target, '-F', 'UserID=bench',
            server.url + '/up.asp']
    start = time.monotonic()
    subprocess.run(get, check=True)
    subprocess.run(post, check=True)
    took = time.monotonic() - start
    shutil.rmtree(fetched)
    return took


def write_bench(exe, files, folder, runs):
    listing = os.path.join(folder, 'files.txt')
    with open(listing, 'w') as f:
        f.write(''.join(winpath(p) + '\r\n' for p in files))
    out = subprocess.run([WINE_RUN, exe, winpath(listing), winpath(folder), str(runs)], capture_output=True, text=True)
    values = dict(re.findall(r'(\w+)=([\d.]+)', out.stdout))
    if out.returncode != 0 or 'ours_seconds' not in values:
        raise SystemExit('savemsg_write_bench failed: %s %s' % (out.stdout, out.stderr))
    return float(values['raw_seconds']), float(values['ours_seconds'])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--exe', required=True, help='savemsg_write_bench.exe (Linux path)')
    parser.add_argument('--data', required=True, help='folder for the generated files')
    parser.add_argument('--big-mib', type=int, default=1024)
    parser.add_argument('--small', type=int, default=200)
    parser.add_argument('--runs', type=int, default=1)
    args = parser.parse_args()
    files = make_files(os.path.join(args.data, 'attachments'), args.big_mib, args.small)
    total = sum(os.path.getsize(p) for p in files)
    target = os.path.join(args.data, 'saved.pcm')
    with NvattServer(parser='stream', hash_parts=False) as server:
        urls = [server.url + '/att/' + os.path.basename(p) for p in files]
        for path, url in zip(files, urls):
            server.set_route(url[len(server.url):], {'body_file': path})
        # Names from the front of the list go with keys from the back.
        server.set_route('/forms/download.asp', {'body': message_reply(
            subject='bench', to='bench@x.kr', attach=[os.path.basename(p) for p in files], keys=urls[::-1],
            records=[('body', '<p>bench</p>')])})
        server.set_route('/up.asp', {'body': 'OK;bench'})
        our_times, curl_times, growth = [], [], []
        for _ in range(args.runs):
            took, grew = ours(server, target, len(files))
            our_times.append(took)
            growth.append(grew)
            upload = [r for r in server.requests if r.path == '/up.asp'][-1]
            if upload.parts[0].size != os.path.getsize(target):
                raise SystemExit('the server got %d of %d bytes' % (upload.parts[0].size, os.path.getsize(target)))
            curl_times.append(curl(server, urls, target, args.data))
    with olefile.OleFileIO(target) as ole:
        stored = ole.get_size('nc_local_attach')
    if stored < total:
        raise SystemExit('the message file holds %d of %d attachment bytes' % (stored, total))
    raw, written = write_bench(args.exe, files, args.data, args.runs)
    os.remove(target)

    ours_s, curl_s = statistics.median(our_times), statistics.median(curl_times)
    print('data: 1 message, %d attachments, %.1f MiB; message file %.1f MiB; %d run(s)'
          % (len(files), total / MIB, stored / MIB, args.runs))
    print('%-40s %8.2f s   %s' % ('DoSaveMsg (downloads, file, upload)', ours_s, ' '.join('%.2f' % t for t in our_times)))
    print('%-40s %8.2f s   %s' % ('curl (same downloads and upload)', curl_s, ' '.join('%.2f' % t for t in curl_times)))
    print('ratio of time (curl / ours): %.2f' % (curl_s / ours_s))
    print('compound-file write: ours %.2f s (%.1f MiB/s), raw %.2f s (%.1f MiB/s); ours at %.2f of raw speed'
          % (written, total / MIB / written, raw, total / MIB / raw, raw / written))
    print('share of the compound-file write in DoSaveMsg: %.2f' % (written / ours_s))
    print('peak working set above idle during DoSaveMsg: %.1f MiB' % (max(growth) / MIB))


if __name__ == '__main__':
    main()
