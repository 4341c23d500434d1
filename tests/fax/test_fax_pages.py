"""Sending attachments by fax, as a page sees it: the event that lists what can be faxed,
the missing driver's message, and the watcher that sends the print dialog to the fax
printer (and leaves every other print dialog alone)."""
import getpass
import os
import subprocess
import time
import unittest
import urllib.parse

from nvatt_pages import BUILD, WINE_RUN, PageTestCase, js_string

from nvatt_server import NvattServer

TEMP = 'C:\\users\\%s\\Temp\\' % getpass.getuser()
FAX_DRIVER = os.path.join(BUILD, 'tools', 'faxdriver', 'FaxDriver.exe')
PRINT_DLG = os.path.join(BUILD, 'tools', 'printdlg', 'PrintDlg.exe')
FAX = 'TELFAX NT Printer Driver'
SUBJECT = '견적서 3월'
# The page answers the event by printing: the stand-in print dialog lists `printers`.
ON_EVENT = '''
    var printers = "A|B", limit = 100, printed = null;
    function NvAtt_EvClickSendFax(text) { if (limit) printed = host.printDialog(printers, limit); }
'''


def fax_driver(action):
    subprocess.run([WINE_RUN, FAX_DRIVER, action], check=True, stdout=subprocess.DEVNULL)


class FaxTestCase(PageTestCase):
    def setUp(self):
        fax_driver('add')
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)
        self.server.set_route('*', lambda r: {'body': 'served ' + r.path})

    def page(self, script, **params):
        params.setdefault('style', 2)
        params.setdefault('subject', SUBJECT)
        return self.run_page(script, params=params)

    def keys(self, count):
        return '\t'.join('%s/k/%d' % (self.server.url, i) for i in range(count))


class EventText(FaxTestCase):
    def test_faxable_rows_and_their_paths(self):
        # Each name goes in at the top: the list reads report.doc, a.docx, photo.jpeg, page.html.
        names = ['page.html', 'photo.jpeg', 'a.docx', 'report.doc']
        result = self.page(ON_EVENT + 'NvAtt.DoSendNowFax("");',
                           attachlist='\t'.join(names), recordkeylist=self.keys(4))
        self.assertPagePassed(result)
        subject = ''.join(chr(b) if chr(b).isascii() and chr(b).isalnum() else '%%%02X' % b
                          for b in SUBJECT.encode('cp949'))
        self.assertEqual(result.events_named('EvClickSendFax'),
                         ['EvClickSendFax(%s|2|%sreport.doc|%sa.docx|)' % (subject, TEMP, TEMP)])
        self.assertEqual(sorted(urllib.parse.unquote(r.path) for r in self.server.requests),
                         ['/k/0', '/k/1', '/k/2', '/k/3'])

    def test_no_driver_no_event(self):
        fax_driver('remove')
        result = self.page('host.answer("msgbox", "OK"); NvAtt.DoSendNowFax("");',
                           attachlist='report.doc', recordkeylist=self.keys(1))
        self.assertPagePassed(result)
        self.assertEqual([(d['caption'], d['text'], d['icon']) for d in result.dialogs],
                         [('팩스드라이버 설치', '팩스 드라이버를 설치하세요.', 'information')])
        self.assertEqual(result.events_named('EvClickSendFax'), [])
        self.assertEqual(self.server.requests, [])


class Watcher(FaxTestCase):
    def test_selects_the_fax_printer_and_presses_ok(self):
        result = self.page(ON_EVENT + '''
            printers = %s; limit = 10000;
            NvAtt.DoSendNowFax("");
            host.equal(printed, %s, "the fax printer");
        ''' % (js_string('Microsoft Print|%s #2|%s' % (FAX, FAX)), js_string(FAX + ' #2')), style=3)
        self.assertPagePassed(result)

    def test_a_list_without_the_fax_printer_is_left_alone(self):
        result = self.page(ON_EVENT + '''
            printers = "Microsoft Print|TELFAX Printer"; limit = 4000;
            NvAtt.DoSendNowFax("");
            host.equal(printed, "", "nothing pressed: the dialog ran to its time-out");
        ''', style=3)
        self.assertPagePassed(result)

    def test_leaves_other_dialogs_alone(self):
        # Another program's print dialog is up before the watcher starts; the watcher keeps
        # waiting for one of its own process, and a released control ends it.
        other = subprocess.Popen([WINE_RUN, PRINT_DLG, 'Local|' + FAX, '12000'], stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL)
        time.sleep(3)
        result = self.page(ON_EVENT + '''
            limit = 0;
            NvAtt.DoSendNowFax("");
            host.pump(3000);
            host.equal(host.printDialog(%s, 8000), %s, "this process's dialog");
            NvAtt.DoSendNowFax("");
            host.releaseControl();
            host.pump(2500);
        ''' % (js_string('Local|' + FAX), js_string(FAX)), style=3)
        self.assertPagePassed(result)
        out, _ = other.communicate(timeout=60)
        self.assertEqual((other.returncode, out.decode('utf-8').strip()), (0, ''))

if __name__ == '__main__':
    unittest.main()
