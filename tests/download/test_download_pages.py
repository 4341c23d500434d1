"""The control's WM_COPYDATA entry as companion programs use it: another process sends
the control's window code 18 with an answer, code 20, or codes the control passes on."""
import os
import unittest

from nvatt_pages import BUILD, PageTestCase, js_string, winpath

SEND = os.path.join(BUILD, 'tools', 'sendcopydata', 'SendCopyData.exe')


class CompanionMessages(PageTestCase):
    def test_codes_from_another_process(self):
        # (code, data or None for no data, the control's answer, Response afterwards,
        #  ResolveComplete fired)
        cases = [
            (18, None, 0, '처음', False),      # no data: passed on, nothing fired
            (18, '', 0, '처음', False),
            (20, '대기', 1, '처음', False),    # handled, nothing fired
            (99, '모름', 0, '처음', False),    # not a code of the control
            (18, '홍길동;hong@example.com', 1, '홍길동;hong@example.com', True),
        ]
        lines = ['var send = %s;' % js_string(winpath(SEND)),
                 'NvAtt.RecpType = "받는사람";',
                 'NvAtt.Response = "처음";',
                 'var hwnd = host.controlHwnd();',
                 'host.check(hwnd != 0, "the control has a window");']
        fired = 0
        for code, data, answer, response, fires in cases:
            command = '"\\"" + send + "\\" " + hwnd + " %d' % code
            if data is not None:
                command += ' \\"%s\\""' % data
            else:
                command += '"'
            fired += fires
            what = 'code %d, data %r' % (code, data)
            lines += [
                'host.equal(host.run(%s, 20000), %d, %s);' % (command, answer, js_string(what + ': answer')),
                'host.equal(NvAtt.Response, %s, %s);' % (js_string(response), js_string(what + ': Response')),
                'host.equal(host.eventCount("ResolveComplete"), %d, %s);'
                % (fired, js_string(what + ': ResolveComplete')),
            ]
        result = self.run_page('\n'.join(lines))
        self.assertPagePassed(result)
        self.assertEqual(result.events_named('ResolveComplete'), ['ResolveComplete(받는사람)'])


if __name__ == '__main__':
    unittest.main()
