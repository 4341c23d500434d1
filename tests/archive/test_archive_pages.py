"""Archiving a server folder from a page: the list command writes each item, registers it
and uploads its file; refusals, failures, a closed popup and a closed window; the batch
save's list request; the folder browser."""
import os
import shutil
import unittest
import urllib.parse

import olefile

from nvatt_pages import BUILD, PREFIX, PageTestCase, js_string, winpath
import message_files as mf
from nvatt_server import NvattServer, SyntheticFolder, generated_bytes

SEND = os.path.join(BUILD, 'tools', 'sendcopydata', 'SendCopyData.exe')
SCRATCH = os.path.join(PREFIX, 'drive_c', 'VelaWare', 'savemail.pcm2')
DONE = '완료 되었습니다.'
NETWORK = '네트워크 문제로 수정하지 못했습니다.'


def query(req):
    return urllib.parse.parse_qsl(req.query_raw, encoding='cp949')


def part(req, name):
    return next(p.content for p in req.parts if p.name == name)


def closed_port():
    import socket
    with socket.socket() as sock:
        sock.bind(('127.0.0.1', 0))
        return sock.getsockname()[1]


def msgboxes(result):
    return [(d['caption'], d['text'], d['icon']) for d in result.dialogs if d['kind'] == 'msgbox']


def ok(count):
    return 'host.answer("msgbox", "OK");' * count


class ArchiveTestCase(PageTestCase):
    def setUp(self):
        self.server = s = NvattServer().start()
        self.addCleanup(s.stop)
        self.folder = SyntheticFolder({ident: ('제목 ' + ident, [300], [5000, 70000])
                                       for ident in ('a', 'b', 'q', 'i', 'x', 's', 'e', 'u', 'n', 't', 'd')})
        self.folder.install(s)
        # The registration answers by the identifier: M;<id>-no unless a test says otherwise.
        self.answers = {}
        s.set_route('/fb/SaveDBMailInfo.asp', lambda req: self.answers.get(
            dict(query(req))['id'], {'body': 'M;%s-no' % dict(query(req))['id']}))
        s.set_route('/mailsave.asp', lambda req: {'status': 500 if part(req, b'mailID') == b'u-no' else 200,
                                                  'body': 'OK'})

    def params(self, **extra):
        url = self.server.url
        params = {'strMsgInfo': '보관', 'formsURL': url + '/forms/', 'fburl': url + '/fb/', 'FolderName': '받은편지함',
                  'UserID': 'hong', 'MailSaveSQLServerUrl': url + '/mailsave.asp'}
        params.update(extra)
        return params

    def requests(self, path):
        return [r for r in self.server.requests if r.path == path]

    def uploads(self):
        return [(part(r, b'mailID').decode(), part(r, b'File1')) for r in self.requests('/mailsave.asp')]


class ListArchive(ArchiveTestCase):
    def test_two_items_are_registered_and_uploaded_in_order(self):
        result = self.run_page(ok(1) + '''
            NvAtt.DoSaveListMailDB("a;b;");
            host.equal(host.eventCount("Close"), 1, "closed after the list");
            ''' + ok(1) + '''
            NvAtt.DoSaveListMailDB("");
            host.equal(host.eventCount("Close"), 2, "an empty list closes too");
            ''' + ok(1) + '''
            NvAtt.DoSaveListSignDB("");
            try { NvAtt.DoSaveListSignDB("a;"); host.fail("a sign document was registered"); } catch (e) {}
            host.equal(host.eventCount("Close"), 2, "the sign list does not close");
        ''', params=self.params())
        self.assertPagePassed(result)
        self.assertEqual(msgboxes(result), [('보관', DONE, 'information')] * 3)
        registered = [query(r) for r in self.requests('/fb/SaveDBMailInfo.asp')]
        uploads = self.uploads()
        self.assertEqual([(q, mail_id) for q, (mail_id, _) in zip(registered, uploads)], [
            ([('id', 'a'), ('folder', '받은편지함'), ('filesize', str(len(uploads[0][1])))], 'a-no'),
            ([('id', 'b'), ('folder', '받은편지함'), ('filesize', str(len(uploads[1][1])))], 'b-no')])
        for (_, data), ident in zip(uploads, 'ab'):
            with olefile.OleFileIO(data) as ole:
                saved = {name[0]: ole.openstream(name).read() for name in ole.listdir()}
            self.assertEqual(saved, mf.current_streams(
                self.folder.body(ident), to='to@x.kr', inline=[('img0.gif', generated_bytes(0, 300))],
                attach=[('첨부0.bin', generated_bytes(0, 5000)), ('첨부1.bin', generated_bytes(0, 70000))]))
        up = self.requests('/mailsave.asp')[0]
        self.assertEqual([(p.name, p.filename) for p in up.parts],
                         [(b'mailID', None), (b'account', None), (b'File1', b'savemail.pcm2')])
        self.assertEqual(part(up, b'account'), b'hong')
        self.assertFalse(os.path.exists(SCRATCH), 'the scratch file is gone')
        self.assertEqual([r.query_raw for r in self.requests('/forms/download.asp')], ['dataurl=a', 'dataurl=b'])

    def test_refusals_and_failures_show_their_message_and_the_list_goes_on(self):
        self.answers.update({'q': {'body': '1'}, 'i': {'body': '2 duplicate'}, 'x': {'body': 'x'},
                             's': {'body': 'S;1'}, 'e': {'body': ''}})
        dead = 'http://127.0.0.1:%d/fb/' % closed_port()
        result = self.run_page(ok(7) + '''
            NvAtt.DoSaveListMailDB("q;i;x;s;e;u;n");
            NvAtt.fburl = %s;
            ''' % js_string(dead) + ok(2) + '''
            NvAtt.DoSaveListMailDB("d");
            NvAtt.fburl = %s;
            ''' % js_string(self.server.url + '/fb/') + ok(1) + '''
            NvAtt.DoSaveListMailDB("n");
        ''', params=self.params())
        self.assertPagePassed(result)
        app = lambda text: ('NVATT', text, 'exclamation')  # noqa: E731
        network = ('수정', NETWORK, 'exclamation')
        self.assertEqual(msgboxes(result), [
            app('서버에 저장 용량이 초과하였습니다. 저장된 메일을 일부 삭제 하세요'), app('DB Insert 실패.'),
            app('알수 없는 오류.'), app('알수 없는 오류.'), network, network, ('보관', DONE, 'information'),
            network, ('보관', DONE, 'information'), ('보관', DONE, 'information')])
        self.assertEqual([mail_id for mail_id, _ in self.uploads()], ['u-no', 'n-no', 'n-no'])


class ListArchiveWaits(ArchiveTestCase):
    def test_what_comes_during_the_wait_uploads_nothing(self):
        self.answers['t'] = {'body': 'M;t-late', 'delay': 6}
        self.answers['d'] = {'body': 'M;d-late', 'delay': 6}
        send = '"\\"" + %s + "\\" " + host.controlHwnd() + " ' % js_string(winpath(SEND))
        result = self.run_page('''
            var during = [];
            host.equal(host.run(%s15 \\"M;forged\\"", 20000), 0, "an unsolicited 15 is passed on");
            host.equal(host.run(%s21 \\"S;forged\\"", 20000), 0, "an unsolicited 21 is passed on");
            host.setTimeout(function () {
                try { NvAtt.DoSaveListMailDB("a"); during.push("started"); } catch (e) { during.push("refused"); }
                during.push(host.run(%s15 \\"M;forged\\"", 20000));
            }, 2500);
            // The message, its image and its two attachments come first, then the popup.
            for (var i = 0; i < 4; ++i) host.answer("dialog", "leave");
            host.answerLater("dialog", "Escape", 3000);
            ''' % (send, send, send) + ok(1) + '''
            NvAtt.DoSaveListMailDB("t");
            host.equal(during.join(), "refused,0", "a second list and a foreign answer during the wait");
            host.pump(4000);
            ''' + ok(1) + '''
            NvAtt.DoSaveListMailDB("n");
            host.setTimeout(function () { host.deactivate(); }, 2500);
            try { NvAtt.DoSaveListMailDB("d"); host.fail("the list went on without a window"); } catch (e) {}
            host.pump(5000);
        ''', params=self.params())
        self.assertPagePassed(result)
        self.assertEqual(msgboxes(result), [('보관', DONE, 'information')] * 2)
        self.assertEqual([mail_id for mail_id, _ in self.uploads()], ['n-no'])
        self.assertEqual([dict(query(r))['id'] for r in self.requests('/fb/SaveDBMailInfo.asp')], ['t', 'n', 'd'])
        self.assertEqual([r.query_raw for r in self.requests('/forms/download.asp')],
                         ['dataurl=t', 'dataurl=n', 'dataurl=d'])


class BatchSave(ArchiveTestCase):
    def test_batch_save_its_list_failures_and_the_folder_browser(self):
        s = self.server
        s.set_route('/batch/list.asp', {'sequence': [
            {'status': 500, 'body': 'a;b'}, {'body': 'a;b;x\r\n'}, {'body': 'a;b;c;' * 100, 'stall_after': [300, 1], 'close_after': 300}]})
        folder = os.path.join(PREFIX, 'drive_c', 'nvtest-archive')
        shutil.rmtree(folder, True)
        os.makedirs(folder)
        chosen = js_string('C:\\nvtest-archive\\x.pcm')
        batch = '''
            function batch() {
                try { return NvAtt.DoSaveBatchMail("inbox", "pcm", "1", "3"); } catch (e) { return "error"; }
            }'''
        result = self.run_page(batch + '''
            host.answer("msgbox", "OK");
            host.equal(batch(), true, "a server error status");
            host.answer("file", %s); host.answer("msgbox", "OK");
            host.equal(batch(), true, "three messages");
            host.equal(batch(), "error", "an answer cut mid-body");
            host.answer("file", %s);
            host.equal(NvAtt.DoSaveLocal("n", "pcm"), true, "a save after the batches");
            host.answer("folder", "C:\\\\nvtest-archive");
            host.equal(NvAtt.DoSetLocalPath("unused"), "C:\\\\nvtest-archive", "the chosen folder");
            host.answer("folder", "");
            host.equal(NvAtt.DoSetLocalPath(""), "", "cancelled");
        ''' % (chosen, chosen), params=self.params(BatchURL=s.url + '/batch/list.asp'))
        self.assertPagePassed(result)
        dead = self.run_page(batch + '''
            host.answer("msgbox", "OK");
            host.equal(batch(), true, "a dead server");
        ''', params=self.params(BatchURL='http://127.0.0.1:%d/batch/list.asp' % closed_port()))
        self.assertPagePassed(dead)
        internet_error = ('NVATT', '인터넷 접근 에러발생', 'exclamation')
        self.assertEqual(msgboxes(result) + msgboxes(dead),
                         [internet_error, ('보관', '일괄 로컬저장이 완료 되었습니다.', 'information'), internet_error])
        self.assertEqual([r.query_raw for r in self.requests('/batch/list.asp')], ['folder=inbox&start=1&end=3'] * 3)
        self.assertEqual([r.query_raw for r in self.requests('/forms/download.asp')],
                         ['type=batch&dataurl=a', 'type=batch&dataurl=b', 'type=batch&dataurl=x', 'dataurl=n'])
        self.assertEqual(sorted(os.listdir(folder)), ['제목 a.pcm', '제목 b.pcm', '제목 n.pcm', '제목 x.pcm'])
        self.assertEqual([d['text'] for d in result.dialogs if d['kind'] == 'folder'],
                         ['문서를 만들어 저장할 로컬 Folder 위치지정:'] * 2)


if __name__ == '__main__':
    unittest.main()
