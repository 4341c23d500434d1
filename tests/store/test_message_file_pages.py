"""The message file writer through DoSaveMsg: the server's message, images and attachments
as olefile finds them in the uploaded file, the restore of that file, and failed replies."""
import os
import re
import shutil
import tempfile
import unittest

import olefile

from nvatt_pages import BUILD, PageTestCase, js_string, winpath
import message_files as mf

from nvatt_server import NvattServer

PREFIX = os.environ.get('NVATT_WINEPREFIX', os.path.join(BUILD, 'wineprefix'))
K1, K2, LOGO, PHOTO = b'k1' * 3000, os.urandom(70000), b'GIF89a' + os.urandom(500), os.urandom(300)
NO_FILES = mf.header() + mf.dword(mf.END)


def unixpath(path):
    """A path of the test prefix's C: drive or of the Z: drive (the root) as a Linux path."""
    drive, rest = path[0].upper(), path[3:].replace('\\', '/')
    return os.path.join(PREFIX, 'drive_c', rest) if drive == 'C' else '/' + rest


def leave(count):
    return 'host.answer("dialog", "leave");' * count


def files(tag, items):
    return mf.header() + b''.join(mf.file_record(tag, name, data) for name, data in items) + mf.dword(mf.END)


def streams(path_or_bytes):
    with olefile.OleFileIO(path_or_bytes) as ole:
        return {'/'.join(e): ole.openstream(e).read() for e in ole.listdir()}


class MessageFiles(PageTestCase):
    def setUp(self):
        self.server = s = NvattServer().start()
        self.addCleanup(s.stop)
        self.folder = tempfile.mkdtemp(prefix='nvatt-msgfile-')
        self.addCleanup(shutil.rmtree, self.folder, True)
        s.set_route('/up.asp', {'body': 'OK;saved'})

    def save(self, steps):
        """steps: (script, path) for each DoSaveMsg, the script running before it."""
        script = ''.join('%s host.log("saved " + NvAtt.DoSaveMsg(%s));' % (js, js_string(winpath(p))) for js, p in steps)
        result = self.run_page(script, params={'strMsgInfo': '보관', 'formsURL': self.server.url + '/forms/',
                                               'objDataURL': 'D1', 'UploadURL': self.server.url + '/up.asp',
                                               'UserID': 'hong'})
        self.assertPagePassed(result)
        logs = [line[6:] for line in result.logs if line.startswith('saved ')]
        return result, logs, [r for r in self.server.requests if r.path == '/up.asp']

    def test_message_images_and_attachments_round_trip(self):
        body = '<p>안녕</p><IMG SRC="cid:Logo.GIF"><img alt=1 src="사진.png" w=1><img src="logo.gif"><img src="x.gif">'
        s = self.server
        s.set_route('/forms/download.asp', {'body': mf.message_reply(
            to='홍 <h@x.kr>', cc='c@x.kr', attach=['a.txt', '한글 b.doc', '404.bin', 'empty.bin', 'stalled.bin'],
            keys=['{base}/att/stall', '{base}/att/empty', '{base}/att/404', '{base}/att/k1', '{base}/att/k2'],
            inline_keys=['logo.gif:{base}/img/logo', '사진.png:{base}/img/photo'],
            records=[('Keywords', 'kw'), ('body', body)])})
        # Another type names images by the text after the last "/" of their URL.
        s.set_route('/forms/downloadmail.asp', {'body': mf.message_reply(inline_keys=['{base}/img/logo'],
                                                                         records=[('body', body)])})
        for path, data in [('/att/k1', K1), ('/att/k2', K2), ('/img/logo', LOGO), ('/img/photo', PHOTO)]:
            s.set_route(path, {'body_hex': data.hex()})
        s.set_route('/att/empty', {'body': ''})
        s.set_route('/att/stall', {'generate': 100000, 'stall_after': [1000, 30]})
        paths = [os.path.join(self.folder, 'msg.pcm'), os.path.join(self.folder, 'mail.pcm')]
        result, logs, (up, _) = self.save([
            (leave(7) + 'host.answerLater("dialog", "Cancel", 1500);' +
             leave(1), paths[0]), ('NvAtt.type = "mail";' + leave(3), paths[1])])
        # The scratch files are the ones the progress windows named; other tests running
        # beside this one make scratch files of their own in the same temporary folder.
        scratch = [unixpath(m) for d in result.dialogs for m in re.findall(r'[A-Z]:\\[^\n]*\\NC\w+\.tmp', d['text'])]
        self.assertEqual((len(scratch), [f for f in scratch if os.path.exists(f)]), (8, []))
        named = {p.name: p for p in up.parts}
        data = named[b'MsgFile'].content
        self.assertEqual([(p.name, p.filename) for p in up.parts] + [(named[b'UserID'].content, logs)],
                         [(b'MsgFile', b'msg.pcm'), (b'UserID', None),
                          (b'hong', ['saved|%d' % len(data), 'saved|%d' % os.path.getsize(paths[1])])])
        fields = b'Keywords\bkw\x7fbody\b' + mf.cp949(body) + b'\x7f'
        self.assertEqual(streams(data), {
            'nc_local_property': mf.header() + mf.text(mf.TO, '홍 <h@x.kr>') + mf.text(mf.CC, 'c@x.kr') +
            mf.text(mf.KEYWORDS, 'kw') + mf.text(mf.BODY, body) + mf.text(mf.FIELDS, fields) + mf.dword(mf.END),
            'nc_local_inline': files(mf.INLINE, [('logo.gif', LOGO), ('사진.png', PHOTO)]),
            'nc_local_attach': files(mf.ATTACH, [('a.txt', K2), ('한글 b.doc', K1)])})
        saved = streams(paths[1])
        self.assertEqual((saved['nc_local_inline'], saved['nc_local_attach']), (files(mf.INLINE, [('logo', LOGO)]), NO_FILES))
        self.assertEqual(s.requests[0].query_raw, 'dataurl=D1')

        s.set_route('/saved/msg.pcm2', {'body_hex': data.hex()})
        restored = self.run_page('''
            var restored = null;
            function NvAtt_SetDBBody(body, to, cc, have) { restored = [to, cc, have, body.indexOf("\\\\사진.png'") > 0]; }
            host.equal(host.activate(), 0, "restored");
            host.equal(restored.join("|"), "홍 <h@x.kr>|c@x.kr|1|true", "addresses, attachments, image");
            host.equal(host.listItems(5), "한글 b.doc\\na.txt", "attachments");
        ''', params={'style': 1, 'sqlfilepath': s.url + '/saved/msg.pcm2'}, activate=False)
        self.assertPagePassed(restored)

    def test_failed_replies_send_nothing_and_a_cancelled_one_keeps_the_attachments(self):
        self.server.set_route('/forms/download.asp', {'sequence': [
            {'body': ''}, {'body': 'id\x7ffolder\x7fsubject\x7fto\bcc\x7f'},
            {'body': mf.message_reply(status='NotOK', reason='권한 없음')}, {'generate': 100000, 'stall_after': [10, 30]}]})
        paths = [os.path.join(self.folder, '%d.pcm' % i) for i in range(4)]
        answers = leave(3) + 'host.answer("msgbox", "OK"); host.answerLater("dialog", "Cancel", 1500);' + leave(1)
        result, logs, uploads = self.save([(answers, paths[0])] + [('', p) for p in paths[1:]])
        self.assertEqual((logs, len(uploads)), (['', '', '', 'saved|%d' % os.path.getsize(paths[3])], 1))
        self.assertEqual([(d['text'], d['icon'], d['caption']) for d in result.dialogs if d['kind'] == 'msgbox'],
                         [('IDS_CANT_RCVMSG_FROM_SERVER\n권한 없음', 'stop', '보관')])
        self.assertEqual([streams(p) for p in paths], [{}, {}, {}, {'nc_local_attach': NO_FILES}])


if __name__ == '__main__':
    unittest.main()
