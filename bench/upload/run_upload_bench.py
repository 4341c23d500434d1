#!/usr/bin/python3
"""Upload benchmark: CHttpUpload (nvatt_upload_bench.exe under Wine) against curl -F,
posting the same files to the same page of the local test server in one run.

Scenarios: one large file (1 GiB by default) and 200 small files. Runs alternate between
the two clients; the report gives median times, throughput, the ratio of our throughput
to curl's (target: at least 0.8) and the uploading process's working set above its idle
level (target: under 64 MiB). Each run of ours submits twice in one process: the second
submission is the one compared (a browser hosting the control has long paid the
process's one-time network set-up under Wine); the first is reported beside it. The timed runs use the server's streaming splitter without
hashing, so the server only counts bytes; a separate untimed pass with hashing checks
that both clients delivered every file byte for byte.

    bench/upload/run.sh [x64 build tree] [runs]
"""

import argparse
import hashlib
import os
import random
import re
import statistics
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "server"))
from nvatt_server import NvattServer  # noqa: E402

WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
MIB = 1 << 20


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def make_data(folder, big_size, small_count, seed=20):
    """The files of both scenarios; existing files of the right size are kept."""
    os.makedirs(os.path.join(folder, "small"), exist_ok=True)
    big = os.path.join(folder, "big.bin")
    if not os.path.exists(big) or os.path.getsize(big) != big_size:
        with open(big, "wb") as f:
            left = big_size
            while left:
                n = min(left, 4 * MIB)
                f.write(os.urandom(n))
                left -= n
    rng = random.Random(seed)
    small = []
    for i in range(small_count):
        path = os.path.join(folder, "small", "s%03d.bin" % (i + 1))
        size = rng.randint(4 << 10, 256 << 10)
        if not os.path.exists(path) or os.path.getsize(path) != size:
            with open(path, "wb") as f:
                f.write(os.urandom(size))
        small.append(path)
    listing = os.path.join(folder, "small.txt")
    with open(listing, "w") as f:
        f.write("\r\n".join(windows_path(p) for p in small) + "\r\n")
    return [big], small, listing


def sha256_file(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(4 * MIB), b""):
            h.update(block)
    return h.hexdigest()


def run_ours(exe, url, target):
    out = subprocess.run([WINE_RUN, exe, url, target], capture_output=True, text=True)
    m = re.search(r"bytes=(\d+) seconds=([\d.]+) first_seconds=([\d.]+) idle_ws=(\d+) "
                  r"peak_ws_sampled=(\d+) peak_ws=(\d+) result=(0x[0-9a-f]+)", out.stdout)
    if out.returncode != 0 or not m:
        raise RuntimeError("upload bench failed (%d): %s %s" % (out.returncode, out.stdout, out.stderr))
    return {"seconds": float(m.group(2)), "first": float(m.group(3)), "idle": int(m.group(4)),
            "peak_sampled": int(m.group(5)), "peak": int(m.group(6))}


def run_curl(url, files):
    args = ["/usr/bin/time", "-f", "maxrss_kb=%M", "curl", "-s", "-S", "-o", "/dev/null",
            "-w", "seconds=%{time_total} status=%{http_code}", "-F", "subject=benchmark"]
    for i, path in enumerate(files):
        args += ["-F", "my_file%d=@%s" % (i + 1, path)]
    args += ["-F", "FILECOUNTER=%d" % len(files), url]
    out = subprocess.run(args, capture_output=True, text=True)
    m = re.search(r"seconds=([\d.]+) status=200", out.stdout)
    rss = re.search(r"maxrss_kb=(\d+)", out.stderr)
    if out.returncode != 0 or not m:
        raise RuntimeError("curl failed: %s %s" % (out.stdout, out.stderr))
    return {"seconds": float(m.group(1)), "maxrss": int(rss.group(1)) * 1024 if rss else 0}


def check_record(request, files, hashes=None):
    """The server got every file whole (and, with hashes, byte for byte)."""
    got = [p for p in request.parts if p.filename is not None]
    if not request.complete or len(got) != len(files):
        return "incomplete upload: %d of %d files" % (len(got), len(files))
    for i, (part, path) in enumerate(zip(got, files)):
        if part.size != os.path.getsize(path):
            return "file %d: %d of %d bytes" % (i + 1, part.size, os.path.getsize(path))
        if hashes and part.sha256 != hashes[path]:
            return "file %d differs" % (i + 1)
    return None


def verify(exe, scenarios):
    """An untimed pass with hashing: both clients deliver the files byte for byte."""
    problems = []
    with NvattServer(parser="stream") as srv:
        srv.set_route("/upload.asp", {"body": "OK;verify"})
        url = srv.url + "/upload.asp"
        for name, files, target in scenarios:
            hashes = {p: sha256_file(p) for p in files}
            for client in ("ours", "curl"):
                srv.clear()
                srv.set_route("/upload.asp", {"body": "OK;verify"})
                if client == "ours":
                    run_ours(exe, url, target)
                else:
                    run_curl(url, files)
                for request in srv.wait_for(2 if client == "ours" else 1, "/upload.asp", 60):
                    problem = check_record(request, files, hashes)
                    if problem:
                        problems.append("%s, %s: %s" % (name, client, problem))
    return problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--exe", required=True, help="nvatt_upload_bench.exe (Linux path)")
    ap.add_argument("--data", default="/tmp/nvatt-bench", help="folder for the generated files")
    ap.add_argument("--big-size", type=int, default=1 << 30)
    ap.add_argument("--small-count", type=int, default=200)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--no-verify", action="store_true", help="skip the hashing pass")
    args = ap.parse_args()

    big, small, listing = make_data(args.data, args.big_size, args.small_count)
    scenarios = [("1 large file", big, windows_path(big[0])),
                 ("%d small files" % len(small), small, "@" + windows_path(listing))]
    load_before = os.getloadavg()

    results = {}
    with NvattServer(parser="stream", hash_parts=False) as srv:
        srv.set_route("/upload.asp", {"body": "OK;bench"})
        url = srv.url + "/upload.asp"
        for name, files, target in scenarios:
            # One untimed run each fills the page cache for both.
            run_ours(args.exe, url, target)
            run_curl(url, files)
            ours, curl = [], []
            for _ in range(args.runs):
                srv.clear()
                srv.set_route("/upload.asp", {"body": "OK;bench"})
                ours.append(run_ours(args.exe, url, target))
                curl.append(run_curl(url, files))
                for request in srv.wait_for(3, "/upload.asp", 60):
                    problem = check_record(request, files)
                    if problem:
                        raise RuntimeError("%s: %s" % (name, problem))
            results[name] = (sum(os.path.getsize(p) for p in files), ours, curl)
    load_after = os.getloadavg()

    failed = False
    print("Upload benchmark: CHttpUpload under Wine vs curl -F, same server page, %d runs each"
          % args.runs)
    print("load average before %.2f, after %.2f (2 cores; other work skews both clients)"
          % (load_before[0], load_after[0]))
    for name, (size, ours, curl) in results.items():
        t_ours = statistics.median(r["seconds"] for r in ours)
        t_curl = statistics.median(r["seconds"] for r in curl)
        ratio = t_curl / t_ours
        # Each run of ours is followed at once by one of curl: a pair shares the machine's
        # load, so the median of the pairs' ratios is steadier on a busy machine.
        paired = statistics.median(c["seconds"] / o["seconds"] for o, c in zip(ours, curl))
        growth = max(r["peak_sampled"] - r["idle"] for r in ours)
        peak = max(r["peak"] for r in ours)
        idle = statistics.median(r["idle"] for r in ours)
        print("\n%s, %.1f MiB of file data" % (name, size / MIB))
        t_first = statistics.median(r["first"] for r in ours)
        print("  CHttpUpload  median %.3f s  %7.1f MiB/s   runs: %s" % (
            t_ours, size / MIB / t_ours, " ".join("%.3f" % r["seconds"] for r in ours)))
        print("  (first Submit of a process: median %.3f s, %.1f MiB/s, ratio %.2f)" % (
            t_first, size / MIB / t_first, t_curl / t_first))
        print("  curl -F      median %.3f s  %7.1f MiB/s   runs: %s" % (
            t_curl, size / MIB / t_curl, " ".join("%.3f" % r["seconds"] for r in curl)))
        print("  throughput ratio (CHttpUpload / curl): %.2f of medians, %.2f median of pairs"
              "  (target >= 0.80: %s)" % (ratio, paired, "met" if paired >= 0.8 else "NOT met"))
        print("  working set: idle %.1f MiB, largest during Submit +%.1f MiB above idle, "
              "process peak %.1f MiB  (target < 64 MiB above idle: %s)" % (
                  idle / MIB, growth / MIB, peak / MIB, "met" if growth < 64 * MIB else "NOT met"))
        print("  curl's own peak RSS for comparison: %.1f MiB" % (
            max(r["maxrss"] for r in curl) / MIB))
        failed |= growth >= 64 * MIB

    if not args.no_verify:
        problems = verify(args.exe, scenarios)
        print("\nbyte-for-byte check (SHA-256 of every file part, both clients): %s" % (
            "passed" if not problems else "FAILED"))
        for p in problems:
            print("  " + p)
        failed |= bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
