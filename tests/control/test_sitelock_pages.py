"""The site lock as pages meet it: a page of a site the administrator did not allow gets
errors and nothing done; an allowed page sends only to allowed sites."""
import unittest

from nvatt_pages import PageTestCase, js_string

from nvatt_server import NvattServer

UPLOAD = '/mail/upload.asp'

REFUSED_PAGE = '''
    var calls = [function () { NvAtt.DoSubmit(); }, function () { NvAtt.DoField("to", "x"); },
                 function () { return NvAtt.submitURL; }, function () { NvAtt.submitURL = "http://127.0.0.1/x"; },
                 function () { return NvAtt.DoEDM("", ""); }];
    for (var i = 0; i < calls.length; ++i) {
        var message = "no error";
        try { calls[i](); } catch (e) { message = e.message; }
        host.equal(message, "접근이 거부되었습니다: " + %s + "은(는) 허용된 사이트가 아닙니다.", "call " + i);
    }
    host.check(host.saveBag(NvAtt).indexOf("127.0.0.1") < 0, "no PARAM and no property was taken");
'''


class SiteLockPages(PageTestCase):
    def setUp(self):
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)

    def test_a_refused_page_is_refused_safety_calls_and_params(self):
        # Which addresses are refused is the site lock's own test (SiteLockTest, OriginListTest);
        # here: what a refused page meets. Were the PARAMs applied, activation would fetch
        # the saved message.
        params = {'submitURL': self.server.url + UPLOAD, 'sqlfilepath': self.server.url + '/saved.pcm2'}
        result = self.run_page(REFUSED_PAGE % js_string('http://evil.test'), params=params,
                               url='http://127.0.0.1@evil.test/', expect_refusal=True)
        self.assertPagePassed(result)
        self.assertIn('host: the PARAM tags were refused', result.logs)
        self.assertEqual(self.server.requests, [])

    def test_an_allowed_page_sends_only_to_allowed_sites(self):
        # This very server under another name: a check of the name alone lets it through.
        other = self.server.url.replace('127.0.0.1', 'localhost')
        self.server.set_route(UPLOAD, {'body': 'OK;보냈습니다'})
        result = self.run_page('''
            NvAtt.DoField("to", "kim@x.kr");
            var targets = [[%(other)s, %(otherOrigin)s + "은(는) 허용된 사이트가 아닙니다."],
                           ["file:///C:/windows/win.ini", "file:///C:/windows/win.ini은(는) http 또는 https 주소가 아닙니다."]];
            for (var i = 0; i < targets.length; ++i) {
                NvAtt.submitURL = targets[i][0];
                var message = "no error";
                try { NvAtt.DoSubmit(); } catch (e) { message = e.message; }
                host.equal(message, targets[i][0] + " 주소로는 보내거나 받을 수 없습니다: " + targets[i][1], "refused");
            }
            NvAtt.sqlfilepath = %(other)s;
            host.check(host.activate() != 0, "no restore from another site: the creation fails");
            NvAtt.submitURL = %(upload)s;
            host.answer("msgbox", "OK");
            NvAtt.DoSubmit();
        ''' % {'other': js_string(other + UPLOAD), 'otherOrigin': js_string(other),
               'upload': js_string(self.server.url + UPLOAD)}, activate=False)
        self.assertPagePassed(result)
        # Only the last send, with the staged field once and nothing added twice.
        [request] = self.server.requests
        self.assertEqual([(p.name, p.content) for p in request.parts],
                         [(b'to', b'kim@x.kr'), (b'attachdeletelist', b''), (b'encfilelist', b''),
                          (b'TOTALSIZE', b'0'), (b'FILECOUNTER', b'0')])


if __name__ == '__main__':
    unittest.main()
