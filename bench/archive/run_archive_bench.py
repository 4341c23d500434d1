#!/usr/bin/python3
"""Archiving a server folder: the control's list command (each message written into the
scratch file, registered and uploaded) and its batch save (each message written into a
chosen folder), in the page host under Wine, against curl in the same run.

The folder: 300 messages with 2 inline images and 3 attachments of 4 KB to 4 MB (sizes
spread evenly on a log scale), and a last one with a 512 MiB attachment, all generated
by the local server. curl fetches the same URLs in one process (the list run also posts
files of the uploaded sizes with -F, in one process). The report gives ms per item, the
ratio of throughput, and the host's peak working set above its idle size after item 30
and at the end (target: under 64 MiB, no growth between them); it fails when a scratch
file is left behind.

    bench/archive/run.sh [x64 build tree] [runs]
"""
import argparse
import glob
import math
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'pagelib'))
sys.path.insert(0, os.path.join(ROOT, 'server'))
from nvatt_pages import PREFIX, js_string, run_page  # noqa: E402
from nvatt_server import NvattServer, SyntheticFolder, generated_bytes  # noqa: E402

MIB = 1 << 20
# Samples the working set from the message loops the command runs, every 200 ms.
SAMPLER = '''
    var samples = [];
    function sample() {
        samples.push(new Date().getTime() + " " + host.peakWorkingSet());
        host.setTimeout(sample, 200);
    }
    var idle = host.workingSet();
    host.setTimeout(sample, 200);
    var start = new Date().getTime();
'''
REPORT = '''
    host.log("ms " + (new Date().getTime() - start) + " idle " + idle + " end " + host.peakWorkingSet());
    for (var i = 0; i < samples.length; ++i) host.log("sample " + samples[i]);
'''


def make_folder(count, big_mib):
    rng = random.Random(17)
    size = lambda: int(math.exp(rng.uniform(math.log(4 << 10), math.log(4 << 20))))  # noqa: E731
    messages = {'m%03d' % i: ('보관 %03d' % i, [size() // 64 + 200, size() // 64 + 200], [size(), size(), size()])
                for i in range(count)}
    messages['big'] = ('보관 큰 첨부', [1000, 1000], [big_mib * MIB, 4096, 4096])
    return SyntheticFolder(messages)


def media_urls(server, folder, ident):
    _, images, attachments = folder.messages[ident]
    return (['%s%s%s/i%d' % (server.url, folder.media, ident, k) for k in range(len(images))] +
            ['%s%s%s/a%d' % (server.url, folder.media, ident, k) for k in range(len(attachments))])


def run_ours(script, params):
    result = run_page(SAMPLER + script + REPORT, params=params, timeout=7200)
    line = [entry for entry in result.logs if entry.startswith('ms ')]
    if not result.passed or not line:
        raise SystemExit('the page failed:\n' + result.describe())
    took, idle, end = map(int, re.match(r'ms (\d+) idle (\d+) end (\d+)', line[0]).groups())
    samples = [tuple(map(int, e.split()[1:])) for e in result.logs if e.startswith('sample ')]
    return took / 1000.0, idle, end, samples


def peak_at(samples, moment, idle):
    """The peak working set above idle as sampled up to moment (wall-clock ms)."""
    before = [peak for at, peak in samples if at <= moment]
    return (max(before) if before else 0) - idle


def curl_get(urls, folder):
    fetched = os.path.join(folder, 'curl')
    os.makedirs(fetched, exist_ok=True)
    command = ['curl', '-s', '-S', '--fail']
    for i, url in enumerate(urls):
        command += ['-o', os.path.join(fetched, str(i)), url]
    start = time.monotonic()
    subprocess.run(command, check=True)
    took = time.monotonic() - start
    shutil.rmtree(fetched)
    return took


def curl_post(server, sizes, folder):
    files = os.path.join(folder, 'posted')
    os.makedirs(files, exist_ok=True)
    command = ['curl', '-s', '-S', '--fail']
    for i, size in enumerate(sizes):
        path = os.path.join(files, '%d.pcm2' % i)
        with open(path, 'wb') as f:
            for pos in range(0, size, 4 * MIB):
                f.write(generated_bytes(pos, min(4 * MIB, size - pos)))
        if i:
            command.append('--next')
        command += ['-o', '/dev/null', '-F', 'mailID=bench', '-F', 'account=bench', '-F', 'File1=@' + path,
                    server.url + '/mailsave.asp']
    start = time.monotonic()
    subprocess.run(command, check=True)
    took = time.monotonic() - start
    shutil.rmtree(files)
    return took


def scratch_left(started):
    velaware = glob.glob(os.path.join(PREFIX, 'drive_c', 'VelaWare', 'savemail.pcm2'))
    temp = glob.glob(os.path.join(PREFIX, 'drive_c', 'users', '*', 'Temp', 'NC*.tmp'))
    scratch = glob.glob(os.path.join(PREFIX, 'drive_c', 'VelaWare', 'NC*.tmp'))
    return [f for f in velaware + temp + scratch if os.path.getmtime(f) >= started]


def report(name, took, items, total, curl_s, idle, end, at30):
    print('%-34s %8.2f s  %7.1f ms/item  %7.1f MiB/s' % (name, took, took * 1000 / items, total / MIB / took))
    print('%-34s %8.2f s  %7.1f ms/item  %7.1f MiB/s' % ('  curl, same requests', curl_s, curl_s * 1000 / items,
                                                         total / MIB / curl_s))
    print('  throughput ours / curl: %.2f' % (curl_s / took))
    print('  peak working set above idle: after item 30 %.1f MiB, at the end %.1f MiB (target under 64, no growth)'
          % (at30 / MIB, (end - idle) / MIB))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--data', required=True, help='folder for the files curl posts')
    parser.add_argument('--count', type=int, default=300)
    parser.add_argument('--big-mib', type=int, default=512)
    parser.add_argument('--runs', type=int, default=1)
    args = parser.parse_args()
    os.makedirs(args.data, exist_ok=True)
    with NvattServer(parser='stream', hash_parts=False) as server:
        folder = make_folder(args.count, args.big_mib).install(server)
        ids = list(folder.messages)
        registered = []

        def register(req):
            registered.append(time.time() * 1000)
            ident = dict(p.split('=', 1) for p in req.query_raw.split('&'))['id']
            return {'body': 'M;' + ident}
        server.set_route('/fb/SaveDBMailInfo.asp', register)
        server.set_route('/mailsave.asp', {'body': 'OK'})
        server.set_route('/batch.asp', {'body': ';'.join(ids)})
        urls = [server.url + '/forms/download.asp?dataurl=' + i for i in ids]
        urls += [u for i in ids for u in media_urls(server, folder, i)]
        fetched = sum(sum(folder.messages[i][1]) + sum(folder.messages[i][2]) for i in ids)
        params = {'strMsgInfo': '보관', 'formsURL': server.url + '/forms/', 'fburl': server.url + '/fb/',
                  'FolderName': '받은편지함', 'UserID': 'bench', 'MailSaveSQLServerUrl': server.url + '/mailsave.asp',
                  'BatchURL': server.url + '/batch.asp'}
        print('data: %d messages, %.1f MiB of images and attachments; %d run(s)'
              % (len(ids), fetched / MIB, args.runs))

        for _ in range(args.runs):
            server.clear()
            folder.install(server)
            server.set_route('/fb/SaveDBMailInfo.asp', register)
            server.set_route('/mailsave.asp', {'body': 'OK'})
            server.set_route('/batch.asp', {'body': ';'.join(ids)})
            registered.clear()
            started = time.time() - 1
            took, idle, end, samples = run_ours('host.answer("msgbox", "OK"); NvAtt.DoSaveListMailDB(%s);'
                                                % js_string(';'.join(ids)), params)
            uploads = [r for r in server.requests if r.path == '/mailsave.asp']
            if len(uploads) != len(ids):
                raise SystemExit('%d of %d items were uploaded' % (len(uploads), len(ids)))
            sizes = [next(p.size for p in r.parts if p.name == b'File1') for r in uploads]
            left = scratch_left(started)
            if left:
                raise SystemExit('scratch files left behind: %s' % left)
            at30 = peak_at(samples, registered[30], idle) if len(registered) > 30 else 0
            get_s = curl_get(urls, args.data)
            post_s = curl_post(server, sizes, args.data)
            report('DoSaveListMailDB', took, len(ids), fetched + sum(sizes), get_s + post_s, idle, end, at30)

            target = os.path.join(PREFIX, 'drive_c', 'nvbench-archive')
            shutil.rmtree(target, True)
            os.makedirs(target)
            started = time.time() - 1
            downloads = []
            server.set_route('/forms/download.asp', lambda req: (downloads.append(time.time() * 1000),
                                                                 folder.answer(req))[1])
            try:
                took, idle, end, samples = run_ours(
                    'host.answer("file", "C:\\\\nvbench-archive\\\\x.pcm"); host.answer("msgbox", "OK");'
                    'NvAtt.DoSaveBatchMail("inbox", "pcm", "1", "%d");' % len(ids), params)
            except SystemExit as failed:
                print('DoSaveBatchMail: not measured, the page failed (%s)' % str(failed).splitlines()[0:3])
                continue
            saved = glob.glob(os.path.join(target, '*.pcm'))
            left = scratch_left(started) + glob.glob(os.path.join(target, 'NC*'))
            if len(saved) != len(ids) or left:
                raise SystemExit('the batch saved %d of %d files; scratch left: %s' % (len(saved), len(ids), left))
            at30 = peak_at(samples, downloads[30], idle) if len(downloads) > 30 else 0
            shutil.rmtree(target, True)
            report('DoSaveBatchMail', took, len(ids), fetched, curl_get(urls, args.data), idle, end, at30)


if __name__ == '__main__':
    main()
