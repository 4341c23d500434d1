"""The conference call as a page sees it: who may be called, the message that says why
not, and the event that lets the page start the call."""
import os
import re
import shutil
import unittest
import urllib.parse

import olefile

from nvatt_pages import PREFIX, PageTestCase
import message_files as mf

from nvatt_server import NvattServer

# wGetUserSimple.asp's answer per UserIDs.
PRESENCE = {'hong': 'N;', 'away': 'A;', 'free;': 'N;', 'conf;': 'c;', 'call;': 'P;', 'bare;': 'N'}


class ConferenceTestCase(PageTestCase):
    def setUp(self):
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)
        self.server.set_route('/fb/wGetUserSimple.asp', lambda r: {
            'body': PRESENCE.get(urllib.parse.parse_qs(r.query_raw).get('UserIDs', [''])[0], '')})



class Presence(ConferenceTestCase):
    def test_presence_decides(self):
        cases = [  # caller, callee, message or None when the call starts
            ('hong', 'free', None),
            ('away', 'free', '현재 사용자의 화상회의 상태를 확인후 요청하시기 바랍니다.'),
            ('hong', 'conf', '호출 대상자가 화상회의 중입니다. 화상회의를 시작 할 수 없습니다.'),
            ('hong', 'call', '호출 대상자가 통화 중입니다. 화상회의를 시작 할 수 없습니다.'),
            ('hong', 'bare', '호출 대상자가 오프라인이거나 Busy, Away상태 입니다.'),
        ]
        script = ''
        for caller, callee, message in cases:
            if message:
                script += 'host.answer("msgbox", "OK");\n'
            script += ('NvAtt.UserID = "%s"; NvAtt.SenderID = "%s"; host.equal(NvAtt.DoCall(), true, "%s");\n'
                       % (caller, callee, callee))
        result = self.run_page(script, params={'fburl': self.server.url + '/fb/'})
        self.assertPagePassed(result)
        self.assertEqual([(d['caption'], d['text'], d['icon']) for d in result.dialogs],
                         [('화상회의 요청', m, 'exclamation') for _, _, m in cases if m])
        self.assertEqual(result.events_named('EvCallConference'),
                         ['EvCallConference(hong, free, )'])
        self.assertEqual(len(self.server.requests), 2 * len(cases))


VELAWARE = os.path.join(PREFIX, 'drive_c', 'VelaWare')


def listing(top):
    return sorted(os.path.relpath(os.path.join(d, f), top).replace(os.sep, '/')
                  for d, _, files in os.walk(top) for f in files)


def put(path, data=b'x'):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


class MessageCall(ConferenceTestCase):
    def setUp(self):
        super().setUp()
        for user in ('hong', 'kim'):
            shutil.rmtree(os.path.join(VELAWARE, user), True)
            self.addCleanup(shutil.rmtree, os.path.join(VELAWARE, user), True)
        put(os.path.join(VELAWARE, 'kim', 'keep.txt'))
        put(os.path.join(VELAWARE, 'hong', 'old.htm'))
        put(os.path.join(VELAWARE, 'hong', 'sub', 'keep.txt'))
        put(os.path.join(VELAWARE, 'hong', 'hong.files', 'old.pcm'))

    def page(self, script):
        return self.run_page(script, params={
            'fburl': self.server.url + '/fb/', 'UserID': 'hong', 'SenderID': 'free',
            'formsURL': self.server.url + '/forms/', 'objDataURL': 'D', 'style': 2})

    def test_a_second_call_leaves_only_its_page_and_message(self):
        self.server.set_route('/forms/download.asp', {'sequence': [
            {'body': mf.message_reply(subject='첫째', records=[('body', 'first')])},
            {'body': mf.message_reply(subject='둘째', records=[('body', 'second')])}]})
        result = self.page('''
            host.equal(NvAtt.DoCallMsg(), true, "first");
            host.equal(NvAtt.DoCallMsg(), true, "second");
            NvAtt.UserID = "..\\\\kim";
            try { NvAtt.DoCallMsg(); host.fail("..\\\\kim"); } catch (e) {}
        ''')
        self.assertPagePassed(result)
        path = 'C:\\VelaWare\\hong\\hong.htm'
        self.assertEqual(result.events_named('EvCallConference'), ['EvCallConference(hong, free, %s)' % path] * 2)
        self.assertEqual(listing(os.path.join(VELAWARE, 'hong')), ['hong.files/hong.pcm', 'hong.htm', 'sub/keep.txt'])
        self.assertEqual(listing(os.path.join(VELAWARE, 'kim')), ['keep.txt'])
        with open(os.path.join(VELAWARE, 'hong', 'hong.htm'), 'rb') as f:
            page = f.read().decode('ascii')
        name = re.match(r'<html><head><title>(hong_\d{8}_\d{6})</title></head>\r\n\r\n', page).group(1)
        self.assertIn('NvDocView.DoOpenGenFile("%s") \r\n' % name, page)
        with olefile.OleFileIO(os.path.join(VELAWARE, 'hong', 'hong.files', 'hong.pcm')) as ole:
            self.assertIn(b'second', ole.openstream('nc_local_property').read())

    def test_a_message_that_cannot_be_written_ends_the_call(self):
        self.server.set_route('/forms/download.asp', {'body': mf.message_reply(records=[('body', 'b')])})
        os.makedirs(os.path.join(VELAWARE, 'hong', 'hong.files', 'hong.pcm'))  # no file can go there
        result = self.page('host.answer("msgbox", "OK"); host.equal(NvAtt.DoCallMsg(), false, "no call");')
        self.assertPagePassed(result)
        self.assertEqual([(d['caption'], d['text']) for d in result.dialogs][-1:],
                         [('화상회의 오류', '문서를 만드는데 실패했습니다. 화상회의를 시작 할 수 없습니다.')])
        self.assertEqual(result.events_named('EvCallConference'), [])


if __name__ == '__main__':
    unittest.main()
