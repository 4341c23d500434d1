"""Opening and saving attachments from a page: the element each download fetches, the
program that opens it, what is never opened, where saved files land, and the lists' menus."""
import datetime
import getpass
import os
import shutil
import tempfile
import time
import unittest
import urllib.parse

from nvatt_pages import PREFIX, WINE_TEMP, PageTestCase, hold_file, js_string, winpath
import message_files

from nvatt_server import NvattServer

DAY = '{0.year}{0.month}{0.day}'.format(datetime.date.today())  # generated names: r-<DAY>.nvto
TEMP = 'C:\\users\\%s\\Temp\\' % getpass.getuser()
OUT = os.path.join(PREFIX, 'drive_c', 'out')
OPENER = '"C:\\nvtest\\Opener.exe" /assoc "%s"'  # the prefix's program for .nvto


class OpenTestCase(PageTestCase):
    def setUp(self):
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)
        # Each URL answers with its own path: a file tells which element it came from.
        self.server.set_route('*', lambda r: {'body': 'served ' + urllib.parse.unquote(r.path)})
        self.work = tempfile.mkdtemp(prefix='nvatt-open-')
        self.addCleanup(shutil.rmtree, self.work, True)
        shutil.rmtree(OUT, True)
        os.makedirs(OUT)
        self.addCleanup(shutil.rmtree, OUT, True)

    def keys(self, *names):
        return '\t'.join('%s/k/%s' % (self.server.url, n) for n in names)

    def page(self, script, **params):
        params.setdefault('fburl', self.server.url + '/')
        return self.run_page(script, params=params, env={'NVATT_CALLS_FILE': winpath(self.work + '/calls.txt')})

    def calls(self, count):
        """The recorder's command lines once count have come, and any that follow soon."""
        lines = []
        for _ in range(100):
            if os.path.exists(self.work + '/calls.txt'):
                with open(self.work + '/calls.txt', encoding='utf-8') as f:
                    lines = f.read().splitlines()
            if len(lines) >= count:
                break
            time.sleep(0.1)
        time.sleep(0.5)
        with open(self.work + '/calls.txt', encoding='utf-8') as f:
            return f.read().splitlines()

    def fetched(self):
        return [urllib.parse.unquote(r.path) for r in self.server.requests]

    def read(self, path):
        with open(path, 'rb') as f:
            return f.read()


class Downloads(OpenTestCase):
    def test_each_download_fetches_its_own_element(self):
        local = [os.path.join(self.work, n) for n in ('l1.txt', 'l2.txt')]
        for path in local:
            open(path, 'w').close()
        result = self.page('''
            var message = "";
            try { NvAtt.DownLoadAttach("x", 3); } catch (e) { message = e.message; }
            try { NvAtt.DownLoadFile("x", -1); } catch (e) { message += "|" + e.message; }
            host.equal(message, "recordkeylist has no element 3|recordkeylist has no element -1", "no element");
            NvAtt.DownLoadAttach(" r.nvto(12K)", 1);
            NvAtt.DownLoadAttach(" t.nvto", 2);
            host.answer("file", "C:\\\\out\\\\t.nvto");
            NvAtt.DownLoadFile(" t.nvto(1K)", 2);
            NvAtt.DoAttachDirect(%s); NvAtt.DoAttachDirect(%s);
            host.doubleClick(5, 4);
        ''' % tuple(js_string(winpath(p)) for p in local),
            style=1, attachlist='a.nvto\tb.nvto\tc.nvto', recordkeylist=self.keys('u0', 'u1', '~t'))
        self.assertPagePassed(result)
        # "~" goes with a space where the file is viewed, as it stands where it is saved.
        self.assertEqual(self.fetched(), ['/k/u1', '/k/~ t', '/k/~t', '/k/~ t'])
        self.assertEqual(self.calls(3), [OPENER % (TEMP + n + DAY + '.nvto') for n in ('r-', 't-', 'a-')])
        self.assertEqual(self.read(os.path.join(WINE_TEMP, 'r-%s.nvto' % DAY)), b'served /k/u1')
        self.assertEqual(self.read(os.path.join(OUT, 't.nvto')), b'served /k/~t')
        self.assertEqual([d['name'] for d in result.dialogs if d['kind'] == 'file'], ['t.nvto'])

    def test_an_unfinished_download_opens_nothing(self):
        held = os.path.join(WINE_TEMP, 'held-%s.nvto' % DAY)
        with open(held, 'wb') as f:
            f.write(b'older')
        self.addCleanup(os.remove, held)
        hold_file(self, held)
        cut = {'body': 'x' * 5000, 'close_after': 1000}
        self.server.set_route('/k/cut', cut)
        self.server.set_route('/k/slow', {'body': 'x' * 5000, 'stall_after': [100, 10]})
        self.server.set_route('/WFAttach.asp', cut)
        # A failed or cancelled transfer ends the dialog with a failure (the dialogs' and the
        # request's own tests); here: the control opens nothing after one, from either dialog.
        result = self.page('''
            NvAtt.DownLoadAttach("cut.nvto", 0);
            host.answerLater("dialog", "deactivate", 500);
            NvAtt.DownLoadAttach("torn.nvto", 1);
            host.equal(host.activate(), 0, "a new window");
            host.answer("msgbox", "OK");
            NvAtt.DownLoadAttach("held.nvto", 2);
            NvAtt.DownLoadSignAttach("sign.nvto", "0A0B");
            NvAtt.DownLoadAttach("ok.nvto", 3);
        ''', recordkeylist=self.keys('cut', 'slow', 'held', 'ok'))
        self.assertPagePassed(result)
        self.assertEqual(self.calls(1), [OPENER % (TEMP + 'ok-%s.nvto' % DAY)])
        self.assertEqual([(d['text'], d['icon']) for d in result.dialogs if d['kind'] == 'msgbox'],
                         [(TEMP + 'held-%s.nvto 을 실행 할수 없습니다.' % DAY, 'stop')])
        self.assertEqual(self.read(held), b'older')

    def test_server_names_stay_in_the_folder_they_are_saved_to(self):
        result = self.page('''
            host.selectRows(5, "0,1,2");
            host.answer("menu", "저장 하기");
            host.answer("file", "C:\\\\out\\\\파일저장");
            host.rightClick(5, 0);
            var message = "";
            try { NvAtt.DownLoadSignAttach("..", "0A"); } catch (e) { message = e.message; }
            host.equal(message, "no file name is left of ..", "nothing is left of the name");
            NvAtt.DownLoadSignAttach("..\\\\..\\\\w.nvto(1K)", "0A0B");
        ''', attachlist='..\\..\\x.nvto\t../../y.nvto\tC:z.nvto', recordkeylist=self.keys('k0', 'k1', 'k2'),
            LocalDefaultDir='C:\\out')
        self.assertPagePassed(result)
        folder = [(d['caption'], d['name'], d['folder'], d['flags']) for d in result.dialogs if d['kind'] == 'file']
        self.assertEqual(folder, [('파일저장 위치선택', '파일저장', 'C:\\out', 0x806)])
        self.assertEqual(sorted(os.listdir(OUT)), ['x.nvto', 'y.nvto', 'z.nvto'])
        strays = [f for d, _, files in os.walk(os.path.join(PREFIX, 'drive_c')) for f in files
                  if f.endswith('.nvto') and not d.startswith(OUT) and d != WINE_TEMP]
        self.assertEqual(strays, [])
        self.assertEqual(self.calls(1), [OPENER % (TEMP + 'w.nvto')])
        self.assertEqual(self.server.requests[-1].query_raw, 'ID=0A0B&FileName=w%2Envto')

    def test_a_failed_save_keeps_the_file_it_would_replace(self):
        with open(os.path.join(OUT, 'keep.nvto'), 'wb') as f:
            f.write(b'old')
        self.server.set_route('/k/cut', {'body': 'x' * 5000, 'close_after': 1000})
        result = self.page('''
            host.answer("file", "C:\\\\out\\\\keep.nvto"); host.answer("msgbox", "Yes"); host.answer("msgbox", "OK");
            NvAtt.DownLoadFile("keep.nvto", 0);
            host.equal(host.readFile("C:\\\\out\\\\keep.nvto"), "old", "the file is as it was");
            host.answer("file", "C:\\\\out\\\\keep.nvto"); host.answer("msgbox", "Yes");
            NvAtt.DownLoadFile("keep.nvto", 1);
        ''', recordkeylist=self.keys('cut', 'new'))
        self.assertPagePassed(result)
        failures = [d for d in result.dialogs if d['icon'] == 'stop']
        self.assertEqual(len(failures), 1, result.dialogs)
        self.assertRegex(failures[0]['text'], r'^에러가 발생하였습니다\.\(\d+\)$')
        self.assertEqual(os.listdir(OUT), ['keep.nvto'])
        self.assertEqual(self.read(os.path.join(OUT, 'keep.nvto')), b'served /k/new')


class Routes(OpenTestCase):
    def test_each_type_goes_to_its_program(self):
        result = self.page('''
            host.answer("msgbox", "No"); host.answer("msgbox", "OK");
            for (var row = 0; row < 4; ++row) host.doubleClick(5, row);
        ''', attachlist='x.PCM\tpage.htm\tq.nvzz\trun.bat', recordkeylist=self.keys('0', '1', '2', '3'))
        self.assertPagePassed(result)
        # Rows show the names last first; a program is not run unasked, and No runs nothing.
        self.assertEqual([(d['text'].split('\n')[0], d['icon']) for d in result.dialogs if d['kind'] == 'msgbox'],
                         [(TEMP + 'run-%s.bat' % DAY, 'exclamation'),
                          (TEMP + 'q-%s.nvzz 을 실행 할수 없습니다.' % DAY, 'stop')])
        page, viewer = self.calls(2)
        self.assertEqual(page, '"C:\\nvtest\\Opener.exe" "%spage-%s.htm"' % (TEMP, DAY))
        self.assertIn('VelaV2.exe', viewer)
        self.assertTrue(viewer.endswith(' "%sx-%s.PCM"' % (TEMP, DAY)), viewer)

    def test_a_restored_row_opens_its_extracted_file(self):
        path = os.path.join(self.work, 'm.pcm2')
        message_files.save(path, message_files.current_streams('b', attach=[('rest.nvto', b'restored')]))
        self.server.set_route('/m.pcm2', {'body_file': path})
        result = self.page('host.doubleClick(5, 0);', sqlfilepath=self.server.url + '/m.pcm2')
        self.assertPagePassed(result)
        [line] = self.calls(1)
        self.assertTrue(line.startswith(OPENER[:-5]) and line.endswith('\\rest.nvto"'), line)

    def test_a_page_of_the_hosts_own_type_starts_a_new_host(self):
        marker = js_string(winpath(os.path.join(self.work, 'ran.txt')))
        self.server.set_route('/k/page', {'body': 'host.writeFile(%s, typeof NvAtt);' % marker})
        result = self.page('''
            NvAtt.DownLoadAttach("p.nvth", 0);
            for (var i = 0; i < 300 && !host.fileExists(%s); ++i) host.pump(100);
        ''' % marker, recordkeylist=self.keys('page'))
        self.assertPagePassed(result)
        # The association would have named the page's control otherwise.
        self.assertEqual(self.read(os.path.join(self.work, 'ran.txt')), b'object')

    def test_the_attachment_dialog_opens_the_row_double_clicked(self):
        result = self.page('host.answer("dialog", "dblclick 0"); NvAtt.DoShowAttDlg();',
                           attachlist='a.pcm\tb.pcm\t', attachSize='10\t2048\t', recordkeylist=self.keys('k0', 'k1'))
        self.assertPagePassed(result)
        self.assertEqual((result.dialogs[0]['caption'], result.dialogs[0]['text']), ('첨부문서', 'b.pcm (2K)\na.pcm (1K)'))
        self.assertEqual(self.fetched(), ['/k/k0'])
        [viewer] = self.calls(1)
        self.assertTrue('VelaV2.exe' in viewer and viewer.endswith('"%sb-%s.pcm"' % (TEMP, DAY)), viewer)


class Menus(OpenTestCase):
    def test_each_list_and_view_mode_has_its_menu(self):
        cases = [({'style': 0, 'EncFile': 1}, 5, '32768 첨부 보기\n32790 저장 하기'),
                 ({'style': 1}, 5, '32774 파일 첨부\n32775 첨부 취소\n32768 첨부 보기'),
                 ({'style': 3}, 6, '32812 선택파일 취소\n32813 선택파일 보기')]
        for params, list_id, menu in cases:
            result = self.page('host.answer("menu", "Escape"); host.rightClick(%d, -1);' % list_id,
                               attachlist='a.doc', **params)
            self.assertPagePassed(result)
            self.assertEqual([d['text'] for d in result.dialogs], [menu])

    def test_the_password_item_marks_one_local_file(self):
        local = winpath(os.path.join(self.work, 'l.txt'))
        open(os.path.join(self.work, 'l.txt'), 'w').close()
        self.server.set_route('/send.asp', {'body': 'OK;sent'})
        result = self.page('''
            NvAtt.DoAttachDirect(%s);
            var answers = ["Escape", "Escape", "암호 적용", "Escape"], rows = [-1, 1, 0, 0];
            for (var i = 0; i < 4; ++i) { host.answer("menu", answers[i]); host.rightClick(5, rows[i]); }
            host.selectRows(5, "0,1"); host.answer("menu", "Escape"); host.rightClick(5, 0);
            host.answer("msgbox", "OK");
            NvAtt.DoSubmit();
        ''' % js_string(local), style=1, EncFile=1, attachlist='s.doc', submitURL=self.server.url + '/send.asp')
        self.assertPagePassed(result)
        menus = [d['text'] for d in result.dialogs if d['kind'] == 'menu']
        self.assertEqual(menus[0], '32774 파일 첨부\n32775 첨부 취소\n32768 첨부 보기\n32773 암호 적용 (disabled)')
        self.assertEqual([m.split('\n')[3] for m in menus[1:]],
                         ['32773 암호 적용 (disabled)', '32773 암호 적용', '32773 암호 취소', '32773 암호 적용 (disabled)'])
        parts = {p.name: p.content for p in self.server.requests[-1].parts}
        self.assertEqual(parts[b'encfilelist'], b'T;')


if __name__ == '__main__':
    unittest.main()
