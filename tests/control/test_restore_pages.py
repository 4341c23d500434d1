"""The control's window: the restore of a saved message at creation, the signature file,
and the signed document handed to the viewer."""
import os
import shutil
import tempfile
import unittest

from nvatt_pages import PREFIX, WINE_TEMP, PageTestCase, hold_file, js_string
import message_files

from nvatt_server import NvattServer

ATTACH_LIST = 5
FILE_LIST = 6
VELAWARE = os.path.join(PREFIX, 'drive_c', 'VelaWare')
IMAGE_A = b'GIF89a' + b'x' * 1018  # text bytes: the page reads it back as a string
IMAGE_B = b'\x89PNG' + b'\x00' * 100
REPORT = '주간 보고서.hwp'.encode('cp949')  # CP949 name as the file stores it

# The page collects the restore's event and then looks at the list.
RECORD_EVENT = '''
    var restored = null;
    function NvAtt_SetDBBody(body, to, cc, haveAttach) {
        restored = {body: body, to: to, cc: cc, have: haveAttach};
    }
'''


class RestoreTestCase(PageTestCase):
    def setUp(self):
        self.server = NvattServer()
        self.server.start()
        self.addCleanup(self.server.stop)
        self.work = tempfile.mkdtemp(prefix='nvatt-restore-')
        self.addCleanup(shutil.rmtree, self.work, True)

    def serve(self, name, streams):
        path = os.path.join(self.work, name.replace('/', '_'))
        message_files.save(path, streams)
        self.server.set_route('/saved/' + name, {'body_file': path})
        return self.server.url + '/saved/' + name

    def run_restore(self, script, params, before='', activation=0, **kwargs):
        """before: script that runs ahead of the control's creation."""
        return self.run_page(RECORD_EVENT + before + '''
            host.equal(host.activate(), %s, "activation");
        ''' % activation + script, params=params, activate=False, **kwargs)


class CurrentGeneration(RestoreTestCase):
    def streams(self):
        body = '<p>안녕 "친구"</p><img src="a.gif"><img src="b.png"><img src="a.gif">'
        return message_files.current_streams(
            body, to='홍길동 <hong@x.kr>', cc='kim@x.kr',
            inline=[('a.gif', IMAGE_A), ('b.png', IMAGE_B)],
            attach=[(REPORT, b'hwp' * 1000), ('memo.txt', b'memo')])

    def test_pcm2_restores_body_images_and_attachments(self):
        url = self.serve('mail.pcm2', self.streams())
        result = self.run_restore('''
            host.check(restored != null, "SetDBBody fired during creation");
            var temp = host.tempDir() + "\\\\";
            var expected = "<p>안녕 '친구'</p><img src='" + temp + "a.gif'><img src='" + temp + "b.png'>" +
                           "<img src='" + temp + "a.gif'>";
            host.equal(restored.body, expected, "image references point at the extracted images, quotes single");
            host.equal(restored.to, "홍길동 <hong@x.kr>", "To");
            host.equal(restored.cc, "kim@x.kr", "Cc");
            host.equal(restored.have, 1, "the message has attachments");
            host.equal(host.listItems(%d), "memo.txt\\n주간 보고서.hwp", "both attachments in the list");
            host.equal(host.readFile(temp + "a.gif").length, 1024, "inline image extracted");
            host.equal(host.readFile(temp + "memo.txt"), "memo", "attachment extracted");
        ''' % ATTACH_LIST, params={'style': 1, 'sqlfilepath': url})
        self.assertPagePassed(result)
        self.assertEqual(result.events_named('ReadyStateChange'), ['ReadyStateChange(4)'])
        self.assertTrue(result.events_named('SetDBBody')[0].endswith(', 1)'))
        self.assertEqual(len(self.server.requests), 1)

    def test_upper_case_extension_reads_the_current_generation(self):
        url = self.serve('MAIL.PCM2', self.streams())
        result = self.run_restore('host.equal(restored.have, 1, "restored");', params={'sqlfilepath': url})
        self.assertPagePassed(result)

    def test_the_same_file_named_pcm_is_read_as_legacy_and_fails(self):
        url = self.serve('mail.pcm', self.streams())
        result = self.run_restore('''
            host.check(restored == null, "no SetDBBody");
            host.equal(host.controlWindow(), 0, "no window");
        ''', params={'style': 1, 'sqlfilepath': url}, activation=-2147467259)  # E_FAIL
        self.assertPagePassed(result)
        self.assertEqual(result.dialogs, [], 'a failed restore shows nothing')
        self.assertEqual(result.events_named('ReadyStateChange'), [])

    def test_message_without_attachments(self):
        url = self.serve('plain.pcm2', message_files.current_streams('<b>x</b>', to='a@x.kr'))
        result = self.run_restore('''
            host.equal(restored.have, 0, "no attachments");
            host.equal(restored.body, "<b>x</b>", "body");
            host.equal(host.listItems(%d), "", "empty list");
        ''' % ATTACH_LIST, params={'style': 0, 'sqlfilepath': url, 'attachlist': 'not.applied'})
        self.assertPagePassed(result)

    def test_a_file_another_program_holds_open_is_left_out(self):
        held = os.path.join(WINE_TEMP, 'held.txt')
        open(held, 'wb').close()
        self.addCleanup(os.remove, held)
        hold_file(self, held)
        url = self.serve('held.pcm2', message_files.current_streams(
            'body', attach=[('held.txt', b'theirs'), ('memo.txt', b'memo')]))
        result = self.run_restore('host.equal(host.listItems(%d), "memo.txt", "the rest is shown");' % ATTACH_LIST,
                                  params={'style': 1, 'sqlfilepath': url}, before='host.answer("msgbox", "OK");')
        self.assertPagePassed(result)
        [shown] = result.dialogs
        self.assertIn('held.txt', shown['text'])

class LegacyGeneration(RestoreTestCase):
    def test_legacy_file_restores_body_and_merged_addresses(self):
        streams = message_files.legacy_streams('옛 "본문"', to='가@x.kr;나@y.kr;', cc='c@z.kr;',
                                               attach=[('옛 첨부.doc', b'old')])
        url = self.serve('old.pcm', streams)
        result = self.run_restore('''
            host.equal(restored.body, "옛 '본문'", "body");
            host.equal(restored.to, "가@x.kr; 나@y.kr; c@z.kr; ", "To and Cc merged");
            host.equal(restored.cc, "", "Cc stays empty");
            host.equal(restored.have, 1, "attachment");
            host.equal(host.listItems(%d), "옛 첨부.doc", "list");
        ''' % ATTACH_LIST, params={'style': 1, 'sqlfilepath': url})
        self.assertPagePassed(result)


class FailedFetches(RestoreTestCase):
    def test_missing_empty_or_damaged_files_fail_the_creation(self):
        # Which streams the readers refuse is their native tables' and the fuzz target's;
        # here: a fetch that stores no message file (an error page, as an empty file
        # would be) and a property stream the reader refuses fail the creation alike.
        good = message_files.current_streams('body')
        self.server.set_route('/saved/404.pcm2', {'status': 404, 'body': '<html>not found</html>'})
        # A few KB whose directory entry claims a stream of almost 4 GB, and whose body
        # record claims most of that.
        crafted_url = self.serve('crafted.pcm2', dict(good, nc_local_property=message_files.header() + message_files.dword(
            message_files.BODY) + message_files.dword(0xF0000000) + b'x' * 5000))
        message_files.claim_stream_size(os.path.join(self.work, 'crafted.pcm2'), 'nc_local_property', 0xFFFFFE00)
        for url in [self.server.url + '/saved/404.pcm2', crafted_url]:
            with self.subTest(url=url):
                result = self.run_restore('''
                    host.check(restored == null, "no SetDBBody");
                    host.equal(host.controlWindow(), 0, "no window");
                    var grown = Number(host.peakWorkingSet()) - peak;
                    host.check(grown < 64 * 1048576, "the peak working set grew by " + grown);
                ''', params={'style': 1, 'sqlfilepath': url}, activation=-2147467259,
                    before='var peak = Number(host.peakWorkingSet());')
                self.assertPagePassed(result)
                self.assertEqual(result.dialogs, [])


class SignatureFile(RestoreTestCase):
    def test_sign_file_by_view_mode(self):
        sign = 'Z:\\tmp\\결재.ncf'
        cases = [(3, FILE_LIST, '결재.ncf'), (1, ATTACH_LIST, '결재.ncf'), (2, ATTACH_LIST, '')]
        for style, list_id, expected in cases:
            with self.subTest(style=style):
                result = self.run_restore('''
                    host.equal(host.listItems(%d), %s, "signature row");
                    host.check(restored == null, "no restore in this mode");
                ''' % (list_id, js_string(expected)),
                    params={'style': style, 'signFile': sign, 'sqlfilepath': self.server.url + '/none.pcm2',
                            'attachlist': 'x.doc'} if style == 3 else {'style': style, 'signFile': sign})
                self.assertPagePassed(result)
                shows = result.events_named('ShowAttach')
                self.assertEqual(shows, ['ShowAttach(1)'] if expected else [])
        self.assertEqual(len(self.server.requests), 0, 'file-list mode fetches no saved message')


class CopyData(RestoreTestCase):
    def test_signed_document_goes_to_the_viewer(self):
        calls = self.prepare_viewer()
        self.server.set_route('/sign/doc.ncf', {'body': 'signed document'})
        result = self.run_page('''
            host.answer("msgbox", "OK");
            host.equal(host.sendCopyData(22, "0"), 1, "a wrong path is handled");
            host.equal(host.sendCopyData(22, "1" + %s), 1, "a document is handled");
            host.pump(1500);
            host.equal(host.readFile("c:\\\\velaware\\\\velasavesign.ncf"), "signed document", "fetched");
        ''' % js_string(self.server.url + '/sign/doc.ncf'), params={'strMsgInfo': '결재'})
        self.assertPagePassed(result)
        self.assertEqual([(d['caption'], d['text'], d['icon']) for d in result.dialogs],
                         [('결재', '파일 경로가 정확하지 않습니다.', 'exclamation')])
        for _ in range(50):
            if os.path.exists(calls):
                break
            import time
            time.sleep(0.1)
        with open(calls, encoding='utf-8') as f:
            line = f.read().strip()
        self.assertTrue(line.endswith('"c:\\velaware\\velasavesign.ncf"'), line)

    def prepare_viewer(self):
        # The session puts the viewer's stand-in into system32.
        calls = os.path.join(VELAWARE, 'viewer-calls.txt')
        for path in (calls, os.path.join(VELAWARE, 'velasavesign.ncf')):
            if os.path.exists(path):
                os.remove(path)
        return calls

    def test_open_save_sign_asks_the_server_and_shows_the_document(self):
        calls = self.prepare_viewer()
        self.server.set_route('/GetPhysicalPath.asp', {'body': '1' + self.server.url + '/sign/77.ncf'})
        self.server.set_route('/sign/77.ncf', {'body': 'signed 77'})
        result = self.run_page("""
            NvAtt.fburl = %s;
            NvAtt.DoOpenSaveSign("77");
            NvAtt.DoOpenSaveSign("78");
            host.pump(2500);
            host.equal(host.readFile("c:\\\\velaware\\\\velasavesign.ncf"), "signed 77", "fetched");
        """ % js_string(self.server.url + '/'))
        self.assertPagePassed(result)
        asked = [r for r in self.server.requests if r.path == '/GetPhysicalPath.asp']
        self.assertEqual([r.query_raw for r in asked], ['obj=77'], 'one request at a time')
        with open(calls, encoding='utf-8') as f:
            self.assertIn('"c:\\velaware\\velasavesign.ncf"', f.read())

    def test_a_running_request_ends_with_the_window_and_the_next_window_may_ask(self):
        self.prepare_viewer()
        # The first request's answer is late; the second's comes at once.
        self.server.set_route('/GetPhysicalPath.asp', lambda request: {
            'delay': 2 if request.query_raw == 'obj=1' else 0,
            'body': '1' + self.server.url + '/sign/%s.ncf' % request.query_raw[4:]})
        self.server.set_route('/sign/2.ncf', {'body': 'second'})
        result = self.run_page("""
            NvAtt.fburl = %s;
            NvAtt.DoOpenSaveSign("1");
            host.deactivate();
            host.pump(2500);
            host.equal(host.activate(), 0, "a new window");
            NvAtt.DoOpenSaveSign("2");
            for (var i = 0; i < 100 && !host.fileExists("c:\\\\velaware\\\\velasavesign.ncf"); ++i) host.pump(100);
            host.equal(host.readFile("c:\\\\velaware\\\\velasavesign.ncf"), "second", "the new window's request");
        """ % js_string(self.server.url + '/'))
        self.assertPagePassed(result)
        asked = [r.query_raw for r in self.server.requests if r.path.startswith('/GetPhysicalPath')]
        self.assertEqual(asked[-1], 'obj=2')
        self.assertEqual([r.path for r in self.server.requests if r.path.startswith('/sign/')], ['/sign/2.ncf'])



if __name__ == '__main__':
    unittest.main()
