"""The sample pages of the page authors' guide run as they stand: their OBJECT tag's PARAMs
and their scripts go to the page host, with the site's address turned into the local
server's and a small stand-in for the few DOM calls they make."""
import os
import re
import shutil
import tempfile
import unittest

from nvatt_pages import PageTestCase, js_string, winpath
import message_files as mf

from nvatt_server import NvattServer

SAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'docs', 'samples')
SITE = 'https://mail.example.kr'

# The elements the samples read and write, kept by id; the test reads them back.
DOM = '''
var elements = {};
var document = { getElementById: function (id) {
    return elements[id] || (elements[id] = { value: "", innerText: "", innerHTML: "", style: {} }); } };
function shown(id, what) { host.log(id + " " + document.getElementById(id)[what]); }
'''


def load_sample(name, site):
    """The PARAMs and the script of a sample: its plain script blocks as they are, each
    FOR/EVENT block as the handler function the page host calls for that event."""
    with open(os.path.join(SAMPLES, name), encoding='utf-8') as f:
        html = f.read().replace(SITE, site)
    params = dict(re.findall(r'<PARAM NAME="([^"]+)" VALUE="([^"]*)">', html))
    script = ''
    for target, event, args, body in re.findall(
            r'<SCRIPT LANGUAGE="JScript"(?: FOR="(\w+)" EVENT="(\w+)\(([^)]*)\)")?>(.*?)</SCRIPT>', html, re.S):
        script += 'function %s_%s(%s) {%s}\n' % (target, event, args, body) if target else body
    return params, script


class SamplePages(PageTestCase):
    def setUp(self):
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)
        self.work = tempfile.mkdtemp(prefix='nvatt-samples-')
        self.addCleanup(shutil.rmtree, self.work, True)

    def test_compose_sample_sends_the_fields_and_both_files(self):
        files = {'보고서.hwp': os.urandom(70000), 'a b.txt': b'text\r\n' * 100}
        for name, data in files.items():
            with open(os.path.join(self.work, name), 'wb') as f:
                f.write(data)
        self.server.set_route('/mail/upload.asp', {'body': 'OK;STORED;1;메일을 보냈습니다.'})
        params, script = load_sample('compose.html', self.server.url)
        paths = [winpath(os.path.join(self.work, n)) for n in files]
        result = self.run_page(DOM + script + '''
            send();
            shown("status", "innerText");
            document.getElementById("to").value = "김철수 <kim@example.kr>";
            document.getElementById("subject").value = "주간 보고";
            document.getElementById("body").value = "<p>보고서를 보냅니다.</p>";
            host.answer("file", %s); addFiles();
            host.dropFiles(%s);
            host.answer("msgbox", "OK"); send();
            shown("status", "innerText");
            host.log("height " + elements.NvAtt.style.height);
        ''' % (js_string(paths[0]), js_string(paths[1])), params=params)
        self.assertPagePassed(result)
        self.assertEqual([l for l in result.logs if l.startswith(('status', 'height'))],
                         ['status 받는 사람을 입력하세요.', 'status 보냈습니다. OK;STORED;1;메일을 보냈습니다.',
                          'height 120px'])
        (request,) = [r for r in self.server.requests if r.path == '/mail/upload.asp']
        parts = {p.name: p for p in request.parts}
        self.assertEqual([parts[n].content for n in (b'to', b'cc', b'subject', b'htmlbody')],
                         [mf.cp949('김철수 <kim@example.kr>'), b'', mf.cp949('주간 보고'), mf.cp949('<p>보고서를 보냅니다.</p>')])
        self.assertEqual(sorted((p.filename, p.content) for p in request.parts if p.filename),
                         sorted((mf.cp949(n), d) for n, d in files.items()))

    def test_read_sample_restores_a_saved_message(self):
        body = '<p>사진 "첨부"</p><img src="photo.png">'
        saved = os.path.join(self.work, 'saved.pcm2')
        mf.save(saved, mf.current_streams(body, to='홍 <h@x.kr>', cc='c@x.kr', inline=[('photo.png', b'PNG' * 50)],
                                          attach=[('a.txt', b'a' * 10), ('한글.doc', b'd' * 3000)]))
        self.server.set_route('/mail/saved/1.pcm2', {'body_file': saved})
        params, script = load_sample('read.html', self.server.url)
        result = self.run_page(DOM + script + '''
            host.activate(); listAttachments();  // the body's onload
            shown("to", "innerText"); shown("cc", "innerText"); shown("attachments", "innerText");
            host.log("height " + elements.NvAtt.style.height);
            host.log("body " + elements.body.innerHTML);
        ''', params=params, activate=False)
        self.assertPagePassed(result)
        logs = [l for l in result.logs if not l.startswith(('host:', 'body '))]
        self.assertEqual(logs, ['to 홍 <h@x.kr>', 'cc c@x.kr', 'attachments 첨부 2개', 'height 120px'])
        shown_body = [l[5:] for l in result.logs if l.startswith('body ')][0]
        self.assertRegex(shown_body, r"^<p>사진 '첨부'</p><img src='.*\\photo\.png'>$")


if __name__ == '__main__':
    unittest.main()
