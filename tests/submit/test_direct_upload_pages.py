"""The single-item uploads from a page, their parts as the server's own parser splits
them, their results, and what the user is told."""
import os
import shutil
import tempfile
import unittest

from nvatt_pages import PageTestCase, js_string, winpath

from nvatt_server import NvattServer

LEAVE = 'host.answer("dialog", "leave");'


class DirectUploads(PageTestCase):
    def setUp(self):
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)
        self.folder = tempfile.mkdtemp(prefix='nvatt-direct-')
        self.addCleanup(shutil.rmtree, self.folder, True)

    def make(self, name, content):
        with open(os.path.join(self.folder, name), 'wb') as f:
            f.write(content)
        return winpath(os.path.join(self.folder, name))

    def page(self, script, **params):
        values = {'UploadURL': self.server.url + '/up.asp', 'CreateMailURL': self.server.url + '/eml.asp',
                  'Auth': 'Basic Z3c='}
        values.update(params)
        return self.run_page(script, params=values)

    def parts(self, path):
        return [[(p.name.decode('cp949'), p.content) for p in r.parts] for r in self.server.requests
                if r.path == path and r.complete]

    def test_each_attachment_goes_with_the_staged_parts_once_and_alone(self):
        staged, big = self.make('staged.txt', b'S'), self.make('big.bin', b'x' * 200000)
        files = [self.make(n, c) for n, c in [('a.txt', b'A'), ('둘.doc', b'B' * 5000), ('c.bin', b'C' * 300)]]
        self.server.set_route('/up.asp', {'sequence': [{'read_request_slowly': [4096, 0.2]}, {'body': 'OK;77'},
                                                       {'body': 'OK;78'}, {'body': '거부'}, {'body': 'OK;doc'}]})
        self.server.set_route('/post.asp', {'body': '받음'})
        result = self.page('host.answerLater("dialog", "Cancel", 500); host.answer("msgbox", "OK");' + LEAVE * 4 + '''
            NvAtt.DoFile("extra", %s, 0);
            var got = [NvAtt.DoAddAttach(%s)], files = %s, message = "";
            for (var i = 0; i < files.length; ++i) got.push(NvAtt.DoAddAttach(files[i]));
            got.push(NvAtt.DoSaveFileToServer(files[0]));
            try { NvAtt.DoSaveFileToServer("Z:\\\\no\\\\없는.txt"); } catch (e) { message = e.message; }
            host.check(message.indexOf("Z:\\\\no\\\\없는.txt") >= 0, "the error names the file: " + message);
            host.equal(NvAtt.UploadEMLToServer("inbox"), false, "no CkServer, no dialog");
            NvAtt.PostURL = %s;
            NvAtt.SendField("to", "a=b");
            NvAtt.SendSubmit();
            NvAtt.SendSubmit();
            host.equal(got.join("|") + "|" + NvAtt.Response, "|77|78||doc|받음", "cancelled and refused: empty");
        ''' % (js_string(staged), js_string(big), '[%s]' % ','.join(map(js_string, files)),
               js_string(self.server.url + '/post.asp')))
        self.assertPagePassed(result)
        self.assertEqual([(d['kind'], d.get('text'), d['caption']) for d in result.dialogs if d['kind'] != 'dialog'],
                         [('msgbox', '전송 중단', '그룹웨어')])
        extra = ('extra', b'S')
        self.assertEqual(self.parts('/up.asp'), [
            [extra, ('FileName', b'a.txt'), ('FileAtt', b'A')], [extra, ('FileName', '둘.doc'.encode('cp949')),
                                                                 ('FileAtt', b'B' * 5000)],
            [extra, ('FileName', b'c.bin'), ('FileAtt', b'C' * 300)], [('DocFile', b'A')]])
        self.assertEqual({r.header('Authorization') for r in self.server.requests}, {'Basic Z3c='})
        # The entries went with the first send, which had an answer.
        self.assertEqual(self.parts('/post.asp'), [[('to', b'a=b')], []])

    def test_each_eml_file_is_an_upload_of_its_own(self):
        # The e-mail package reads a message/rfc822 part as a message: the raw splitter
        # keeps its bytes.
        self.server.parser = 'stream'
        emls = [self.make('%s.eml' % n, n.encode()) for n in 'abc']
        result = self.page('host.answer("file", %s); host.equal(NvAtt.UploadEMLToServer("받은편지함"), true, "sent");'
                           % js_string('|'.join(emls)), CkServer='mail1')
        self.assertPagePassed(result)
        folder = '받은편지함'.encode('cp949')
        self.assertEqual(sorted(self.parts('/eml.asp')),
                         [[('server', b'mail1'), ('EmlFile', n.encode()), ('folder', folder)] for n in 'abc'])


if __name__ == '__main__':
    unittest.main()
