"""The local save commands and the body import from pages: what the dialogs offer, the files
they leave in a sandbox folder (and nowhere else), the pages, message files and bodies."""
import os
import re
import shutil
import tempfile

import olefile

from nvatt_pages import WINE_TEMP, PageTestCase, js_string, winpath
import message_files as mf

from nvatt_server import NvattServer

DONE = ('완료 하였습니다.', 'information')
KOREAN = '갂낫 "인용"'  # 갂 is 81 41: a trail byte that looks like "A"


def listing(top):
    return sorted(os.path.relpath(os.path.join(d, f), top) for d, _, files in os.walk(top) for f in files)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def properties(path):
    with olefile.OleFileIO(path) as ole:
        return ole.openstream('nc_local_property').read()


class LocalSave(PageTestCase):
    def setUp(self):
        self.server = s = NvattServer().start()
        self.addCleanup(s.stop)
        self.sandbox = tempfile.mkdtemp(prefix='nvatt-localsave-')
        self.addCleanup(shutil.rmtree, self.sandbox, True)
        self.out = os.path.join(self.sandbox, 'out')
        os.mkdir(self.out)

    def page(self, script, **params):
        params = dict({'strMsgInfo': '보관', 'formsURL': self.server.url + '/forms/', 'objDataURL': 'D',
                       'objPostURL': 'P', 'objClsURL': 'C', 'style': 1}, **params)
        result = self.run_page(script, params=params)
        self.assertPagePassed(result)
        return result

    def save_as(self, name, *answers):
        """The script of one LocalSave whose dialog the user answers with out\\name."""
        queued = ''.join('host.answer("msgbox", "%s");' % a for a in answers)
        return 'host.answer("file", %s); %s' % (js_string(winpath(os.path.join(self.out, name))), queued)

    def boxes(self, result):
        return [(d['text'], d['icon']) for d in result.dialogs if d['kind'] == 'msgbox']

    def test_html_save_keeps_hostile_names_in_the_folder_and_points_the_page_at_them(self):
        s, b = self.server, self.server.url
        write(os.path.join(self.out, 'x.gif'), b'mine')
        mail = ('<p>%s</p><img src="..\\..\\x.gif" w><img src="C:\\x.gif" w><img src="a.gif:s" w>'
                '<img src="..\\z.gif" w><IMG SRC="e.gif"><img src="m.gif" w><img src="c.gif" w>'
                '<img src="http://%s/web.gif" b=0>\n' % (KOREAN, b[7:]))
        s.set_route('/forms/htmldownloadmail.asp', {'body': mail})
        s.set_route('/forms/htmldownload.asp', {'body': '%s<IMG SRC="K12.gif:Photo.gif" w> k12.gif:photo.gif' % KOREAN})
        # The client takes the "..\\" of a key's path away before it asks.
        for path in ('/img/x.gif', '/img/a.gif', '/z.gif', '/img/e.gif', '/img/k12'):
            s.set_route(path, {'body': 'image ' + path})
        s.set_route('/img/m.gif', {'status': 404, 'body': 'no'})
        s.set_route('/img/c.gif', {'body': 'x' * 5000, 'close_after': 100})
        keys = '\t'.join(b + '/img/' + k for k in ('', 'x.gif', 'a.gif', '..\\z.gif', 'e.gif', 'm.gif', 'c.gif'))
        result = self.page(self.save_as('mail.htm', 'OK') + '''
            NvAtt.type = "mail"; NvAtt.LocalSave("t");
            NvAtt.formsURL = "%s/down/"; %s NvAtt.LocalSave("t");
            NvAtt.formsURL = "http://127.0.0.1:1/"; %s NvAtt.LocalSave("t");
            NvAtt.formsURL = "%s/forms/"; NvAtt.type = ""; NvAtt.inlinekeylist = %s; %s NvAtt.LocalSave("t");
        ''' % (b, self.save_as('e.htm', 'OK'), self.save_as('f.htm', 'OK'), b, js_string(b + '/img/k12'),
               self.save_as('plain.htm', 'OK')), type='mail', inlinekeylist=keys)
        out = winpath(self.out) + '\\'
        self.assertEqual(read(os.path.join(self.out, 'mail.htm')).decode('cp949'), (
            '<p>%s</p><img src="%sx-1.gif" w><img src="%sx-2.gif" w><img src="%sa.gif" w><img src="%sz.gif" w>'
            '<IMG SRC="%se.gif"><img src="m.gif" w><img src="c.gif" w><img src="http://%s/web.gif" b=0>\r\n'
            % (KOREAN, out, out, out, out, out, b[7:])))
        self.assertEqual(read(os.path.join(self.out, 'plain.htm')).decode('cp949'),
                         '%s<IMG SRC="%sphoto.gif" w> %sphoto.gif\r\n' % (KOREAN, out, out))
        self.assertEqual(listing(self.sandbox), ['out/' + n for n in (
            'a.gif', 'e.gif', 'mail.htm', 'photo.gif', 'plain.htm', 'x-1.gif', 'x-2.gif', 'x.gif', 'z.gif')])
        self.assertEqual([read(os.path.join(self.out, n)) for n in ('x.gif', 'x-1.gif', 'e.gif', 'photo.gif')],
                         [b'mine', b'image /img/x.gif', b'image /img/e.gif', b'image /img/k12'])
        self.assertEqual([r.path + '?' + r.query_raw for r in s.requests if 'html' in r.path],
                         ['/forms/htmldownloadmail.asp?dataurl=D&posturl=P&clsurl=C', '/down/htmldownloadmail.asp?dataurl=D&posturl=P&clsurl=C',
                          '/forms/htmldownload.asp?dataurl=D'])
        self.assertEqual(self.boxes(result), [DONE] + [('인터넷 접근 에러발생', 'exclamation')] * 2 + [DONE])

    def test_local_save_offers_a_clean_title_and_saves_by_the_extension_chosen(self):
        s = self.server
        s.set_route('/forms/downloademl.asp', {'body': 'From: a\r\n\r\nbody'})
        s.set_route('/forms/download.asp', {'sequence': [
            {'body': mf.message_reply(subject='제목', records=[('body', '<p>본문</p>')])}, {'body': ''}]})
        write(os.path.join(self.out, 'old.pcm'), b'old')
        title = '가/나:' + '다' * 100
        result = self.page(self.save_as('m.EML', 'OK') + 'NvAtt.LocalSave(%s);' % js_string(title) +
                           self.save_as('m.PCM', 'OK') + 'NvAtt.LocalSave("t");' +
                           self.save_as('old.pcm', 'Yes', 'OK') + 'NvAtt.LocalSave("t");' +
                           self.save_as('c', 'OK') + 'NvAtt.LocalSaveCompose("c");',
                           LocalDefaultDir=winpath(self.sandbox), ComposeBody='<p>쓰는 중</p>')
        dialogs = [(d['caption'], d['name'], d['folder'], d['flags'], d['filter']) for d in result.dialogs
                   if d['kind'] == 'file']
        offered = ('로컬저장 위치선택', '가나' + '다' * 61, winpath(self.sandbox), 6,
                   'eml files (.eml)|*.eml|로컬 저장 파일(*.pcm)|*.pcm|html files (.htm;.html)|*.htm;*.html||')
        self.assertEqual(dialogs[0], offered)
        self.assertEqual(dialogs[3][1:], ('c', '', 6, 'html files (.htm;.html)|*.htm;*.html||'))
        self.assertEqual(read(os.path.join(self.out, 'm.EML')), b'From: a\r\n\r\nbody')
        self.assertIn(mf.cp949('<p>본문</p>'), properties(os.path.join(self.out, 'm.PCM')))
        self.assertEqual(read(os.path.join(self.out, 'old.pcm')), b'old')
        self.assertEqual(read(os.path.join(self.out, 'c.htm')), mf.cp949('<p>쓰는 중</p>'))
        self.assertEqual(listing(self.out), ['c.htm', 'm.EML', 'm.PCM', 'old.pcm'])
        failed = ('저장하지 못했습니다. 저장할 위치와 디스크 공간을 확인하십시오.\n' + winpath(os.path.join(self.out, 'old.pcm')),
                  'stop')
        self.assertEqual([b for b in self.boxes(result) if b[1] in ('information', 'stop')], [DONE, DONE, failed, DONE])

    def test_do_save_local_loses_no_message_and_temp_save_stays_in_the_temporary_folder(self):
        replies = [mf.message_reply(subject=subject, records=[('body', 'm%d' % i)])
                   for i, subject in enumerate(['subject', 'subject', 'CON', '..\\..\\t'])]
        self.server.set_route('/forms/download.asp', {'sequence': [{'body': r} for r in replies]})
        write(os.path.join(self.out, 'subject-1.pcm'), b'older')
        result = self.page('''
            host.answer("file", %s);
            host.equal(NvAtt.DoSaveLocal(";;a;b;c", "pcm"), true, "saved");
            var message = "";
            try { NvAtt.DoSaveLocal("a", "p\\\\..\\\\cm"); } catch (e) { message = e.message; }
            host.equal(message, "szType is not an extension: p\\\\..\\\\cm", "refused type");
            host.equal(NvAtt.LocalTempSave("..\\\\..\\\\x"), host.tempDir() + "x.pcm", "in the temporary folder");
        ''' % js_string(winpath(os.path.join(self.out, 'any.pcm'))))
        self.addCleanup(os.remove, os.path.join(WINE_TEMP, 'x.pcm'))
        self.assertEqual([(d['caption'], d['name'], d['flags'], d['filter']) for d in result.dialogs if d['kind'] == 'file'],
                         [('로컬저장 위치선택', '로컬저장', 0x806, '로컬 저장 파일(*.pcm)|*.pcm||')])
        self.assertEqual([r.query_raw for r in self.server.requests], ['dataurl=a', 'dataurl=b', 'dataurl=c', 'dataurl=D'])
        bodies = {n: [m for m in ('m0', 'm1', 'm2') if m.encode() in properties(os.path.join(self.out, n))]
                  for n in listing(self.out) if n != 'subject-1.pcm'}
        self.assertEqual(bodies, {'subject-2.pcm': ['m0'], 'subject-3.pcm': ['m1'], '_CON.pcm': ['m2']})
        self.assertEqual(read(os.path.join(self.out, 'subject-1.pcm')), b'older')
        self.assertTrue(os.path.exists(os.path.join(WINE_TEMP, 'x.pcm')))

    def test_insert_html_takes_text_files_as_written_and_message_files_with_their_files(self):
        write(os.path.join(self.sandbox, 'a.txt'), mf.cp949('가"b <i>&\r\nc\r\n'))
        body = '<img src="cid:사진.png"><img src="x.gif">'
        mf.save(os.path.join(self.sandbox, 'm.pcm'), mf.current_streams(
            body, inline=[('사진.png', b'p1'), ('..\\x.gif', b'p2')], attach=[('보고서.hwp', b'a1'), ('C:\\evil.txt', b'a2')]))
        write(os.path.join(self.sandbox, 'bad.pcm'), b'not a message file')
        answer = 'host.answer("file", %s);'
        result = self.page('''
            %s host.equal(NvAtt.DoInsertHTML(), "가'b &lt;i&gt;&amp;<BR>c<BR>", "text");
            %s var imported = NvAtt.DoInsertHTML();
            host.log(imported);
            host.equal(host.listItems(5), "evil.txt\\n보고서.hwp", "attachment rows");
            %s host.answer("msgbox", "OK"); host.equal(NvAtt.DoInsertHTML(), "", "damaged");
        ''' % tuple(answer % js_string(winpath(os.path.join(self.sandbox, n))) for n in ('a.txt', 'm.pcm', 'bad.pcm')))
        imported = re.fullmatch(r'<img src="cid:(.*\\)사진\.png"><img src="(.*\\)x\.gif">', result.logs[-1])
        folder = imported.group(1)
        self.assertEqual(imported.group(2), folder)
        self.assertRegex(folder, r'\\NC[0-9A-Fa-f]+\.tmp\\$')
        local = os.path.join(WINE_TEMP, folder.rstrip('\\').split('\\')[-1])
        self.addCleanup(shutil.rmtree, local, True)
        self.assertEqual(sorted(os.listdir(local)), sorted(['evil.txt', 'x.gif', '사진.png', '보고서.hwp']))
        self.assertEqual([(d['kind'], d['icon'], d['flags'], d['filter']) for d in result.dialogs][-2:], [
            ('file', '', 6, 'html files (.htm;.html)|*.htm;*.html|로컬 저장 파일(*.pcm)|*.pcm|텍스트 파일(*.txt)|*.txt||'),
            ('msgbox', 'stop', 0, '')])


if __name__ == '__main__':
    import unittest
    unittest.main()
