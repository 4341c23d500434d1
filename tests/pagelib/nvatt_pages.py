"""Runs page scripts against the control through the page host under Wine.

A test gives the page's JScript (text or a file) and the PARAM-style properties; it gets
back the host's report: checks, failures, script errors, events and every dialog shown.
"""
import getpass
import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
BUILD = os.environ.get('NVATT_BUILD', os.path.join(ROOT, 'build', 'x64'))
HOST = os.path.join(BUILD, 'tools', 'pagehost', 'PageHost.exe')
HOLD_FILE = os.path.join(BUILD, 'tools', 'holdfile', 'HoldFile.exe')
WINE_RUN = os.path.join(ROOT, 'scripts', 'wine-run')
PREFIX = os.environ.get('NVATT_WINEPREFIX', os.path.join(BUILD, 'wineprefix'))
# The system temporary folder of the prefix's user, as the control sees it.
WINE_TEMP = os.path.join(PREFIX, 'drive_c', 'users', getpass.getuser(), 'Temp')


def winpath(path):
    """The path as Windows programs under Wine see it."""
    return 'Z:' + os.path.abspath(path).replace('/', '\\')


def js_string(text):
    """A JScript string literal for text (paths, Korean names)."""
    return json.dumps(text, ensure_ascii=False)


def hold_file(test, path, share='none'):
    """Keeps path open in another program (HoldFile) until the test's clean-up."""
    ready = os.path.join(tempfile.mkdtemp(prefix='nvatt-hold-'), 'ready')
    proc = subprocess.Popen([WINE_RUN, HOLD_FILE, winpath(path), share, winpath(ready)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    test.addCleanup(shutil.rmtree, os.path.dirname(ready), True)
    test.addCleanup(proc.wait, 30)
    test.addCleanup(lambda: open(ready + '.release', 'w').close())
    for _ in range(200):
        if os.path.exists(ready):
            return
        time.sleep(0.05)
    test.fail('HoldFile did not open %s' % path)


class PageResult:
    def __init__(self, returncode, report, stdout, stderr):
        self.returncode = returncode
        self.report = report
        self.stdout = stdout
        self.stderr = stderr

    @property
    def passed(self):
        return self.returncode == 0 and self.report.get('passed', False)

    @property
    def events(self):
        return self.report.get('events', [])

    @property
    def dialogs(self):
        return self.report.get('dialogs', [])

    @property
    def logs(self):
        return self.report.get('logs', [])

    def events_named(self, name):
        return [e for e in self.events if e.startswith(name + '(')]

    def describe(self):
        return ('exit %d\nfailures: %s\nscript errors: %s\nlogs: %s\nevents: %s\ndialogs: %s\nstderr: %s'
                % (self.returncode, self.report.get('failures'), self.report.get('scriptErrors'),
                   self.logs, self.events, self.dialogs, self.stderr[-2000:]))


# Where pages run unless a test says otherwise: on the origin the test prefix allows.
PAGE_URL = 'http://127.0.0.1/nvatt/page.html'


def run_page(script, params=None, activate=True, timeout=60, url=PAGE_URL, expect_refusal=False, env=None,
             cwd=None):
    """Runs `script` (JScript text) in the page host; params is a dict of PARAM values. The
    page is at `url` (None: no page, as in a desktop program); with expect_refusal the
    control must refuse it and the page runs on. env: variables added for the host and
    the programs it starts; cwd: the host's current folder."""
    with tempfile.TemporaryDirectory(prefix='nvatt-page-') as work:
        page = os.path.join(work, 'page.js')
        with open(page, 'w', encoding='utf-8') as f:
            f.write(script)
        report_path = os.path.join(work, 'report.json')
        args = [WINE_RUN, HOST, '--report', winpath(report_path), '--timeout', str(timeout)]
        if params:
            params_path = os.path.join(work, 'params.txt')
            with open(params_path, 'w', encoding='utf-8') as f:
                for name, value in params.items():
                    value = str(value).replace('\\', '\\\\').replace('\t', '\\t').replace('\n', '\\n')
                    f.write('%s=%s\n' % (name, value))
            args += ['--params-file', winpath(params_path)]
        if not activate:
            args.append('--no-activate')
        if url:
            args += ['--url', url]
        if expect_refusal:
            args.append('--expect-refusal')
        args.append(winpath(page))
        # Output goes to files, not pipes: a Wine service that the host's start brings up
        # inherits them and outlives the host, and a pipe would then never reach its end.
        out_path, err_path = os.path.join(work, 'stdout.txt'), os.path.join(work, 'stderr.txt')
        with open(out_path, 'wb') as out, open(err_path, 'wb') as err:
            proc = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                  timeout=timeout + 60, env=dict(os.environ, **(env or {})), cwd=cwd)
        with open(out_path, 'rb') as out, open(err_path, 'rb') as err:
            stdout, stderr = out.read(), err.read()
        report = {}
        if os.path.exists(report_path):
            with open(report_path, encoding='utf-8') as f:
                report = json.load(f)
        return PageResult(proc.returncode, report, stdout.decode('utf-8', 'replace'),
                          stderr.decode('utf-8', 'replace'))


class PageTestCase(unittest.TestCase):
    """Asserts on page results with the whole report in the failure message."""

    def run_page(self, script, **kwargs):
        return run_page(script, **kwargs)

    def assertPagePassed(self, result):
        self.assertTrue(result.passed, result.describe())
