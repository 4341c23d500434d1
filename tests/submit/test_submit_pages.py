"""Composing and sending a message from a page: staged fields, the body and its file,
extra files, the parts of the upload as the server's own parser splits them, the size
limit, the server's answers, and failed transfers that lose nothing."""
import os
import shutil
import tempfile
import unittest

from nvatt_pages import PageTestCase, js_string, winpath

from nvatt_server import NvattServer

CAPTION = '메일 쓰기'
STOPPED = '전송 중단'
UPLOAD = '/mail/upload.asp'


def part_list(request):
    """(name, file name or None, content) of every part, in order, as text where it is text."""
    out = []
    for p in request.parts:
        name = p.name.decode('cp949')
        filename = p.filename.decode('cp949') if p.filename is not None else None
        out.append((name, filename, p.content))
    return out


class SubmitTestCase(PageTestCase):
    def setUp(self):
        self.server = NvattServer()
        self.server.start()
        self.addCleanup(self.server.stop)
        self.folder = tempfile.mkdtemp(prefix='nvatt-submit-')
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.server.set_route(UPLOAD, {'body': 'OK;보냈습니다'})

    def make(self, name, content):
        path = os.path.join(self.folder, name)
        with open(path, 'wb') as f:
            f.write(content)
        return winpath(path)

    def compose(self, script, params=None, boxes=1, **kwargs):
        """Runs the page with `boxes` message boxes answered with OK, one per send."""
        values = {'style': 1, 'strMsgInfo': CAPTION, 'submitURL': self.server.url + UPLOAD}
        values.update(params or {})
        return self.run_page('host.answer("msgbox", "OK");\n' * boxes + script, params=values, **kwargs)

    def messages(self, result):
        return [(d['text'], d['icon']) for d in result.dialogs if d['kind'] == 'msgbox']

    def uploads(self):
        return [r for r in self.server.requests if r.path == UPLOAD]


class PartsOnTheWire(SubmitTestCase):
    def test_parts_in_order_with_korean_names_byte_for_byte(self):
        first = os.urandom(3000) + b'\r\n--boundary?\r\n' + os.urandom(3000)
        extra = b'extra file \x00\xff'
        a = self.make('첫 번째.bin', first)
        b = self.make('두번째 문서.txt', '한글 내용'.encode('cp949'))
        e = self.make('extra.dat', extra)
        encoded = e.replace(':', '%3A').replace('\\', '%5C')
        result = self.compose('''
            NvAtt.DoField("to", "홍길동 <hong@x.kr>");
            NvAtt.DoField("subject", "보고=드립니다");
            NvAtt.DoField("htmlbody", "<p>본문</p>");
            NvAtt.DoVariant("cc", "김 <kim@x.kr>");
            NvAtt.DoFile("my_file", %(encoded)s, 2);
            host.equal(NvAtt.DoAttachDirect(%(a)s), 1, "first attachment");
            host.equal(NvAtt.DoAttachDirect(%(b)s), 1, "second attachment");
            NvAtt.DoSubmit();
            host.equal(host.eventCount("Close"), 1, "Close after the answer");
        ''' % {'encoded': js_string(encoded), 'a': js_string(a), 'b': js_string(b)})
        self.assertPagePassed(result)
        self.assertEqual(self.messages(result), [('보냈습니다', 'information')])
        [request] = self.uploads()
        self.assertEqual(request.header('Content-Type', '').split(';')[0], 'multipart/form-data')
        self.assertEqual(request.parser, 'email')
        cc = '김 <kim@x.kr>'.encode('utf-16-le')
        expected = [
            ('cc', '_velacc_.dat', b'\xff\xfe' + cc),
            ('my_file2', 'extra.dat', extra),
            ('my_file2', None, e.encode('cp949')),
            ('to', None, '홍길동 <hong@x.kr>'.encode('cp949')),
            ('subject', None, '보고=드립니다'.encode('cp949')),
            ('htmlbody', None, '<p>본문</p>'.encode('cp949')),
            ('attachdeletelist', None, b''),
            ('encfilelist', None, b'F;F;'),
            ('TOTALSIZE', None, b'6'),  # the attached files only: (6015 + 9 + 1023) // 1024
            # my_file1 is the last local row: the first file attached.
            ('my_file1', '첫 번째.bin', first),
            ('my_file2', '두번째 문서.txt', '한글 내용'.encode('cp949')),
            ('FILECOUNTER', None, b'2'),
        ]
        self.assertEqual(part_list(request), expected)
        self.assertEqual(request.multipart_defects, [])
        self.assertTrue(all(not p.defects for p in request.parts))

    def test_body_of_49999_bytes_is_a_field_and_of_50000_a_file(self):
        result = self.compose('''
            var body = new Array(50000).join("x");
            NvAtt.DoField("htmlbody", body);
            NvAtt.DoSubmit();
            NvAtt.DoField("htmlbody", body + "x");
            NvAtt.DoSubmit();
        ''', boxes=2)
        self.assertPagePassed(result)
        small, large = self.uploads()
        self.assertIn(('htmlbody', None, b'x' * 49999), part_list(small))
        self.assertEqual(part_list(large)[0], ('htmlbody', '_velabody_.dat', b'x' * 50000))
        self.assertNotIn('htmlbody', [p[0] for p in part_list(large)[1:]])

    def test_subject_through_dofield_is_both_subject_and_field(self):
        result = self.compose('''
            NvAtt.DoField("subject", "첫째");
            NvAtt.DoVariant("subject", "둘째");
            NvAtt.DoSubmit();
        ''')
        self.assertPagePassed(result)
        parts = part_list(self.uploads()[0])
        self.assertEqual(parts[0], ('subject', '_velatitle_.dat', b'\xff\xfe' + '둘째'.encode('utf-16-le')))
        self.assertIn(('subject', None, '첫째'.encode('cp949')), parts)

    def test_dofile_without_position_and_clear(self):
        f = self.make('a.txt', b'A')
        result = self.compose('''
            NvAtt.DoFile("attach", %(f)s, 0);
            NvAtt.DoField("to", "x");
            NvAtt.DoClear();
            NvAtt.DoFile("attach", %(f)s, -1);
            NvAtt.SendField("kept", "1");
            NvAtt.SendClear();
            NvAtt.DoSubmit();
        ''' % {'f': js_string(f)})
        self.assertPagePassed(result)
        self.assertEqual(part_list(self.uploads()[0]),
                         [('attach', 'a.txt', b'A'), ('attachdeletelist', None, b''), ('encfilelist', None, b''),
                          ('TOTALSIZE', None, b'0'), ('FILECOUNTER', None, b'0')])

    def test_dovariant_with_a_field_of_no_kind_is_an_error(self):
        result = self.compose('''
            var message = "";
            try { NvAtt.DoVariant("priority", "high"); } catch (e) { message = e.message; }
            host.check(message.indexOf("priority") >= 0, "the error names the field: " + message);
        ''', boxes=0)
        self.assertPagePassed(result)


class ServerAttachments(SubmitTestCase):
    def test_removed_server_attachments_and_password_flags_reach_the_upload(self):
        a = self.make('a.txt', b'1')
        b = self.make('b.txt', b'22')
        c = self.make('c.txt', b'333')
        result = self.compose('''
            NvAtt.attachSize = "2048\\t10\\t";
            NvAtt.attachlist = "a.doc\\tb.doc\\tc.doc";
            host.selectRows(5, "1");
            host.sendCommand(32775);
            NvAtt.DoAttachDirect(%s); NvAtt.DoAttachDirect(%s); NvAtt.DoAttachDirect(%s);
            // The password command marks b.txt; on c.txt it is given twice.
            host.selectRows(5, "1");
            host.sendCommand(32773);
            host.selectRows(5, "0");
            host.sendCommand(32773);
            host.sendCommand(32773);
            NvAtt.DoSubmit();
        ''' % (js_string(a), js_string(b), js_string(c)), params={'style': 0})
        self.assertPagePassed(result)
        parts = dict((p[0], p[2]) for p in part_list(self.uploads()[0]) if p[1] is None)
        self.assertEqual(parts['attachdeletelist'], b'b.doc\t')
        # The last local row's flag first: a.txt, b.txt, c.txt.
        self.assertEqual(parts['encfilelist'], b'F;T;F;')
        self.assertEqual(parts['FILECOUNTER'], b'3')
        files = [(p[0], p[1]) for p in part_list(self.uploads()[0]) if p[1] is not None]
        self.assertEqual(files, [('my_file1', 'a.txt'), ('my_file2', 'b.txt'), ('my_file3', 'c.txt')])

    def test_a_name_too_long_for_a_row_text_keeps_its_row(self):
        name = 'x' * 508 + '.doc'  # a space, the name and "()" do not fit a 512-byte row text
        result = self.compose('''
            NvAtt.attachlist = %s;
            host.check(host.listItems(5) != "", "the server attachment has a row");
            NvAtt.DoSubmit();
        ''' % js_string(name))
        self.assertPagePassed(result)
        self.assertIn(('attachdeletelist', None, b''), part_list(self.uploads()[0]))

    def test_file_list_mode_sends_no_password_flags(self):
        a = self.make('a.txt', b'1')
        result = self.compose('host.dropFiles(%s); NvAtt.DoSubmit();' % js_string(a), params={'style': 3})
        self.assertPagePassed(result)
        parts = part_list(self.uploads()[0])
        self.assertIn(('encfilelist', None, b''), parts)
        self.assertIn(('my_file1', 'a.txt', b'1'), parts)


class SizeLimit(SubmitTestCase):
    def test_limit_on_both_sides(self):
        a = self.make('a.bin', b'a' * 51200)
        b = self.make('b.bin', b'b' * 51201)
        page = 'NvAtt.DoAttachDirect(%s); NvAtt.DoAttachDirect(%s); NvAtt.DoSubmit();' % (js_string(a), js_string(b))
        refused = self.compose(page, params={'size': 100})
        self.assertPagePassed(refused)
        self.assertEqual(self.messages(refused),
                         [('첨부 문서의 크기가 제한 용량[100 KB]를 초과했읍니다.', 'exclamation')])
        self.assertEqual(self.uploads(), [])
        at_limit = self.compose(page, params={'size': 101})
        self.assertPagePassed(at_limit)
        unlimited = self.compose(page, params={'size': 0})
        self.assertPagePassed(unlimited)
        self.assertEqual(len(self.uploads()), 2, 'at the limit and without one, the message goes')
        for request in self.uploads():
            self.assertIn(('TOTALSIZE', None, b'101'), part_list(request))

class Answers(SubmitTestCase):
    def test_accepted_and_refused_answers(self):
        cases = [
            ('OK;STORED;4711;저장했습니다', '저장했습니다', 1),
            ('ERR;용량 초과', 'ERR;용량 초과', 0),
        ]
        for reply, shown, closes in cases:
            with self.subTest(reply=reply):
                self.server.set_route(UPLOAD, {'body': reply})
                result = self.compose('''
                    NvAtt.DoField("to", "x");
                    NvAtt.DoSubmit();
                    host.equal(NvAtt.Response, %s, "Response holds the whole answer");
                    host.equal(host.eventCount("Close"), %d, "Close");
                ''' % (js_string(reply), closes))
                self.assertPagePassed(result)
                self.assertEqual(self.messages(result), [(shown, 'information')])
                self.assertEqual(result.dialogs[-1]['caption'], CAPTION)


class FailedTransfers(SubmitTestCase):
    """A failed send shows "전송 중단" and keeps what was staged: after the server recovers
    a second DoSubmit sends every part of the message again. (Which transfers fail is the
    uploader's own table.)"""

    def test_two_http_500_then_a_good_send_carry_the_same_parts(self):
        a = self.make('a.txt', b'A' * 3000)
        self.server.set_route(UPLOAD, {'sequence': [{'status': 500, 'body': 'e'}] * 2 + [{'body': 'OK;ok'}]})
        result = self.compose('''
            NvAtt.Response = "앞선 답";
            NvAtt.DoField("to", "kim@x.kr");
            NvAtt.attachlist = "old.doc";
            NvAtt.DoAttachDirect(%s);
            NvAtt.DoSubmit();
            host.equal(NvAtt.Response, "앞선 답", "Response unchanged");
            NvAtt.DoSubmit(); NvAtt.DoSubmit();
            host.equal(host.eventCount("Close"), 1, "Close after the good send only");
        ''' % js_string(a), boxes=3)
        self.assertPagePassed(result)
        self.assertEqual(self.messages(result), [(STOPPED, 'exclamation')] * 2 + [('ok', 'information')])
        first, second, third = [part_list(r) for r in self.uploads()]
        self.assertEqual((second, third), (first, first))
        self.assertEqual(first[-1], ('FILECOUNTER', None, b'1'))

    def test_a_file_that_cannot_be_read_is_named_and_nothing_is_sent(self):
        kept, gone = self.make('남는 파일.txt', b'kept'), self.make('지운 파일.txt', b'gone')
        missing = winpath(os.path.join(self.folder, '없는 파일.dat'))
        result = self.compose('''
            NvAtt.DoAttachDirect(%(kept)s); NvAtt.DoAttachDirect(%(gone)s); NvAtt.DoFile("extra", %(missing)s, 0);
            host.deleteFile(%(gone)s);
            NvAtt.DoSubmit();
            host.selectRows(5, "0"); host.sendCommand(32775); NvAtt.DoSubmit();
            NvAtt.DoClear(); NvAtt.DoSubmit();
        ''' % {'kept': js_string(kept), 'gone': js_string(gone), 'missing': js_string(missing)}, boxes=3)
        self.assertPagePassed(result)
        texts = [text for text, icon in self.messages(result)]
        self.assertEqual([(gone in t, missing in t) for t in texts], [(True, True), (False, True), (False, False)])
        [sent] = self.uploads()
        self.assertEqual([p for p in part_list(sent) if p[1]], [('my_file1', '남는 파일.txt', b'kept')])



if __name__ == '__main__':
    unittest.main()
