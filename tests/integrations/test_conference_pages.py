"""The conference call as a page sees it: who may be called, the message that says why
not, and the event that lets the page start the call."""
import os
import sys
import unittest
import urllib.parse

from nvatt_pages import PageTestCase

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'server'))
from nvatt_server import NvattServer  # noqa: E402

# wGetUserSimple.asp's answer per UserIDs.
PRESENCE = {'hong': 'N;', 'lower': 'n', 'away': 'A;',
            'free;': 'N;', 'several;': 'N;C;', 'conf;': 'c;', 'call;': 'P;', 'nofree;': 'n;', 'bare;': 'N'}


def page_logs(result):
    """What the page logged, without the host's own lines."""
    return [line for line in result.logs if not line.startswith('host: ')]


class Presence(PageTestCase):
    def setUp(self):
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)
        self.server.set_route('/fb/wGetUserSimple.asp', lambda r: {
            'body': PRESENCE.get(urllib.parse.parse_qs(r.query_raw).get('UserIDs', [''])[0], '')})

    def test_presence_decides(self):
        cases = [  # caller, callee, message or None when the call starts
            ('hong', 'free', None), ('lower', 'several', None),
            ('away', 'free', '현재 사용자의 화상회의 상태를 확인후 요청하시기 바랍니다.'),
            ('hong', 'conf', '호출 대상자가 화상회의 중입니다. 화상회의를 시작 할 수 없습니다.'),
            ('hong', 'call', '호출 대상자가 통화 중입니다. 화상회의를 시작 할 수 없습니다.'),
            ('hong', 'nofree', '호출 대상자가 오프라인이거나 Busy, Away상태 입니다.'),
            ('hong', 'bare', '호출 대상자가 오프라인이거나 Busy, Away상태 입니다.'),
        ]
        script = ''
        for caller, callee, message in cases:
            if message:
                script += 'host.answer("msgbox", "OK");\n'
            script += ('NvAtt.UserID = "%s"; NvAtt.SenderID = "%s"; host.equal(NvAtt.DoCall(), true, "%s");\n'
                       % (caller, callee, callee))
        script += '''
            var refused = ["..\\\\x", "a<b", ""];
            for (var i = 0; i < refused.length; i++) {
                NvAtt.SenderID = refused[i];
                try { NvAtt.DoCall(); host.fail(refused[i]); } catch (e) { host.log(e.message); }
            }
        '''
        result = self.run_page(script, params={'fburl': self.server.url + '/fb/'})
        self.assertPagePassed(result)
        self.assertEqual([(d['caption'], d['text'], d['icon']) for d in result.dialogs],
                         [('화상회의 요청', m, 'exclamation') for _, _, m in cases if m])
        self.assertEqual(result.events_named('EvCallConference'),
                         ['EvCallConference(hong, free, )', 'EvCallConference(lower, several, )'])
        self.assertEqual(len(page_logs(result)), 3)
        self.assertEqual(len(self.server.requests), 2 * len(cases))


if __name__ == '__main__':
    unittest.main()
