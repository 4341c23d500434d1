"""A picture of the attachment list in compose mode with Korean file names, taken under
Xvfb with Wine's X11 driver. The PNG is a test artifact in the build tree."""
import os
import shutil
import subprocess
import tempfile
import unittest

from nvatt_pages import BUILD, HOST, ROOT, js_string, winpath

ARTIFACT = os.path.join(BUILD, 'artifacts', 'attach-list-compose.png')
CONVERT, COMPARE = '/usr/bin/convert', '/usr/bin/compare'


class Screenshot(unittest.TestCase):
    def test_compose_list_paints_its_korean_rows(self):
        # Debian's ImageMagick by its path: PATH may find another convert first.
        for tool in ('/usr/bin/xvfb-run', CONVERT, COMPARE):
            self.assertTrue(os.access(tool, os.X_OK), '%s is missing: scripts/setup.sh installs it' % tool)
        work = tempfile.mkdtemp(prefix='nvatt-shot-')
        self.addCleanup(shutil.rmtree, work, True)
        names = ['주간 보고서.hwp', '회의록(최종).pdf', '사진.jpg']
        for name in names:
            with open(os.path.join(work, name), 'wb') as f:
                f.write(b'x' * 3000)
        empty, rows = os.path.join(work, 'empty.bmp'), os.path.join(work, 'rows.bmp')
        page = os.path.join(work, 'page.js')
        with open(page, 'w', encoding='utf-8') as f:
            f.write('''
                host.screenshot(%s);
                NvAtt.attachSize = "20480\\t";
                NvAtt.attachlist = "견적서.xlsx\\t안내문.txt";
                host.dropFiles(%s);
                host.screenshot(%s);
            ''' % (js_string(winpath(empty)), js_string('|'.join(winpath(os.path.join(work, n)) for n in names)),
                   js_string(winpath(rows))))
        env = dict(os.environ, NVATT_WINE_DISPLAY='x11')
        ocx = winpath(os.path.join(BUILD, 'control', 'NVATT.OCX'))
        script = ('set -e; source "%s/scripts/wine-env.sh"; nvatt_wine_prefix; '
                  'wine regsvr32 /s "%s"; status=0; '
                  'wine "%s" --param style=1 --param aMode=1 "%s" || status=$?; '
                  'wineserver -k || true; exit $status') % (ROOT, ocx, HOST, winpath(page))
        proc = subprocess.run(['/usr/bin/xvfb-run', '-a', '-s', '-screen 0 1024x768x24', 'bash', '-c', script],
                              env=env, capture_output=True, timeout=300)
        self.assertEqual(proc.returncode, 0, proc.stdout.decode('utf-8', 'replace') + proc.stderr.decode('utf-8', 'replace'))
        os.makedirs(os.path.dirname(ARTIFACT), exist_ok=True)
        subprocess.run([CONVERT, rows, ARTIFACT], check=True)
        # The five rows' icons and labels change many pixels of the empty list.
        diff = subprocess.run([COMPARE, '-metric', 'AE', empty, rows, 'null:'], capture_output=True)
        self.assertGreater(int(float(diff.stderr.split()[0])), 1000, 'the rows were not painted')


if __name__ == '__main__':
    unittest.main()
