"""The companion programs' hooks as a page sees them: starting a program, the process
register, the login file, the client programs' checks, the status list and the plug-in."""
import os
import re
import shutil
import subprocess
import tempfile
import unittest

from nvatt_pages import BUILD, PREFIX, WINE_RUN, PageTestCase, js_string, winpath

from nvatt_server import NvattServer

DRIVE_C = os.path.join(PREFIX, 'drive_c')
RECORDER = os.path.join(BUILD, 'tools', 'viewer', 'VelaV2.exe')
COMPANIONS = os.path.join(BUILD, 'tools', 'companions')
SYSTEM = os.path.join(DRIVE_C, 'windows', 'system32')
CALLS = os.path.join(DRIVE_C, 'VelaWare', 'companion-calls.txt')
RELAY = os.path.join(DRIVE_C, 'Program Files', 'LinkRelay')
TCA_KEY = 'HKLM\\SYSTEM\\CurrentControlSet\\Services\\Eventlog\\Application\\ZEdadozOzizude'


def read_bytes(path):
    with open(path, 'rb') as f:
        return f.read()


def page_logs(result):
    """What the page logged, without the host's own lines."""
    return [line for line in result.logs if not line.startswith('host: ')]


class CompanionTestCase(PageTestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix='nvatt-companion-')
        self.addCleanup(shutil.rmtree, self.work, True)
        self.calls_file = os.path.join(self.work, 'calls.txt')
        if os.path.exists(CALLS):
            os.remove(CALLS)

    def page(self, script, params=None, **kwargs):
        env = {'NVATT_CALLS_FILE': winpath(self.calls_file)}
        return self.run_page(script, params=params or {}, env=env, **kwargs)

    def recorded(self):
        return read_bytes(self.calls_file).decode().splitlines() if os.path.exists(self.calls_file) else []

    def place(self, source, folder, name):
        os.makedirs(folder, exist_ok=True)
        target = os.path.join(folder, name)
        shutil.copy(source, target)
        self.addCleanup(lambda: os.path.exists(target) and os.remove(target))

    def reg(self, *args):
        subprocess.run([WINE_RUN, 'reg'] + list(args), check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


class StartingPrograms(CompanionTestCase):
    def test_only_companion_programs_start(self):
        self.place(RECORDER, os.path.join(DRIVE_C, 'DOD_Ezuvar'), 'Rec.exe')
        self.place(RECORDER, os.path.join(DRIVE_C, 'VelaWare'), 'x.exe')
        refused = ['cmd.exe /c C:\\DOD_Ezuvar\\Rec.exe', 'C:\\windows\\system32\\cmd.exe',
                   'C:\\VelaWare\\x.exe', 'C:\\DOD_Ezuvar\\..\\VelaWare\\x.exe',
                   '\\\\127.0.0.1\\c$\\DOD_Ezuvar\\Rec.exe', 'C:\\DOD_Ezuvar\\Rec.exe a&calc']
        result = self.page('''
            host.equal(NvAtt.DoExe("C:\\\\DOD_Ezuvar\\\\Rec.exe /u \\"hong gil\\""), true, "started");
            host.answer("msgbox", "OK");
            host.equal(NvAtt.DoExe("C:\\\\DOD_Ezuvar\\\\None.exe"), true, "missing program");
            var refused = %s;
            for (var i = 0; i < refused.length; i++) {
                try { NvAtt.DoExe(refused[i]); host.fail(refused[i]); } catch (e) {}
            }
            host.pump(1500);
        ''' % js_string(refused))
        self.assertPagePassed(result)
        self.assertEqual([d['text'] for d in result.dialogs], ['실행 파일이 없습니다.'])
        self.assertEqual(result.dialogs[0]['icon'], 'exclamation', result.dialogs)
        self.assertEqual(self.recorded(), ['"C:\\DOD_Ezuvar\\Rec.exe" /u "hong gil"'])

    def test_client_program_checks(self):
        tca_folder = os.path.join(DRIVE_C, 'Tca Dir')
        self.place(RECORDER, tca_folder, 'Tca.exe')
        self.reg('add', TCA_KEY, '/v', 'EventMessageFile', '/d', '"C:\\Tca Dir\\Tca.exe"', '/f')
        self.addCleanup(self.reg, 'delete', TCA_KEY, '/f')
        os.makedirs(os.path.join(DRIVE_C, 'DOD_Ezuvar'), exist_ok=True)
        dta = os.path.join(DRIVE_C, 'DOD_Ezuvar', 'NStartup.exe')
        if os.path.exists(dta):
            os.remove(dta)
        result = self.page('''
            host.equal(NvAtt.DoCheckDTA(), 1, "no first client");
            host.writeFile("C:\\\\DOD_Ezuvar\\\\NStartup.exe", "x");
            host.equal(NvAtt.DoCheckDTA(), 0, "first client");
            host.deleteFile("C:\\\\DOD_Ezuvar\\\\NStartup.exe");
            host.equal(NvAtt.DoCheckTCA(""), "C:\\\\Tca Dir\\\\Tca.exe", "the bare path");
            host.equal(NvAtt.DoExe("C:\\\\Tca Dir\\\\Tca.exe tca"), true, "in the second client's folder");
            host.pump(1500);
            host.deleteFile("C:\\\\Tca Dir\\\\Tca.exe");
            host.equal(NvAtt.DoCheckTCA(""), "", "its file is gone");
        ''')
        self.assertPagePassed(result)
        self.assertEqual(self.recorded(), ['"C:\\Tca Dir\\Tca.exe" tca'])


class RelayFiles(CompanionTestCase):
    def setUp(self):
        super().setUp()
        shutil.rmtree(RELAY, True)
        os.makedirs(RELAY)
        self.addCleanup(shutil.rmtree, RELAY, True)
        self.register = os.path.join(RELAY, 'Pname.inf')

    def test_each_host_keeps_the_others_line(self):
        with open(self.register, 'wb') as f:
            f.write(b'kim:7')
        first = self.page('NvAtt.DoSetProcess();', params={'UserID': 'hong'})
        self.assertPagePassed(first)
        after_first = read_bytes(self.register)
        self.assertRegex(after_first, rb'^kim:7\r\nhong:\d+\r\n$')
        second = self.page('NvAtt.DoSetProcess(); NvAtt.DoSetProcess(); '
                           'host.log(host.readFile(%s)); NvAtt.DoDetachProcess();'
                           % js_string('C:\\Program Files\\LinkRelay\\Pname.inf'), params={'UserID': 'hong'})
        self.assertPagePassed(second)
        while_second = page_logs(second)[0].encode()
        self.assertEqual(len(re.findall(rb'hong:\d+\r\n', while_second)), 2, while_second)
        self.assertEqual(read_bytes(self.register), after_first)

    def test_hostile_values_write_nothing(self):
        ini = os.path.join(DRIVE_C, 'windows', 'KOT_LoginUser.ini')
        result = self.page('''
            var messages = [];
            try { NvAtt.DoSetProcess(); } catch (e) { messages.push(e.message); }
            NvAtt.DoSetLoginINI();
            host.log(messages.join("|"));
        ''', params={'UserID': '..\\x', 'UserSabun': '2024001', 'UserIP': '10.0.0.7'})
        self.assertPagePassed(result)
        self.assertEqual(page_logs(result),
                         ['UserID must be 1 to 64 of A-Z a-z 0-9 . _ - @ and must not begin with "."'])
        self.assertFalse(os.path.exists(self.register))
        written = read_bytes(ini)
        self.assertEqual(written, b'[userinfo]\r\nsabun=2024001\r\nip=10.0.0.7\r\n')
        result = self.page('try { NvAtt.DoSetLoginINI(); } catch (e) { host.log(e.message); }',
                           params={'UserID': 'hong', 'UserSabun': '1\n[other]\nkey=1', 'UserIP': '10.0.0.8'})
        self.assertPagePassed(result)
        self.assertEqual(page_logs(result), ['UserSabun must not contain control characters'])
        self.assertEqual(read_bytes(ini), written)


class ClosedLibraries(CompanionTestCase):
    def setUp(self):
        super().setUp()
        self.server = NvattServer().start()
        self.addCleanup(self.server.stop)

    def libraries(self, folder=SYSTEM):
        for name in ('MertalDB.dll', 'VOZERUdo.dll'):
            self.place(os.path.join(COMPANIONS, name), folder, name)

    def calls(self):
        return read_bytes(CALLS).decode('cp949').splitlines() if os.path.exists(CALLS) else []

    def test_status_list_calls_in_order(self):
        self.libraries()
        self.server.set_route('/fb/GetMasterID.asp', {'sequence': [{'body': ''}, {'body': 'M1 결재'}]})
        result = self.page('''
            NvAtt.DoSignStatus("obj 1");
            host.pump(3000);
            NvAtt.DoSignStatus("obj&2");
            host.pump(3000);
            host.log(host.controlHwnd());
        ''', params={'fburl': self.server.url + '/fb/', 'submitURL': 'http://127.0.0.1/sub',
                     'EngineURL': 'http://engine/', 'UserID': 'hong'})
        self.assertPagePassed(result)
        self.assertEqual([(r.path, r.query_raw) for r in self.server.requests],
                         [('/fb/GetMasterID.asp', 'obj=obj%201'), ('/fb/GetMasterID.asp', 'obj=obj%262')])
        hwnd = page_logs(result)[0]
        self.assertEqual(self.calls(), [
            'CDInitialize|M1 결재|%s/fb/|%s' % (self.server.url, hwnd),
            'WDSetPostUrlProperties|handle|http://127.0.0.1/sub|http://engine/|0|0',
            'WDShowCurrrentStateList|handle|%s|obj&2' % hwnd,
            'FDCleanup|handle'])

    def test_libraries_only_from_the_system_and_control_folders(self):
        self.libraries(self.work)  # the host's current folder
        self.server.set_route('/fb/GetMasterID.asp', {'body': 'M1'})
        result = self.page('''
            NvAtt.DoSignStatus("obj");
            host.equal(NvAtt.DoChangeEDMProfile("dst", "lib", true, ""), true, "no plug-in");
            host.pump(1000);
        ''', params={'fburl': self.server.url + '/fb/', 'UserID': 'hong'}, cwd=self.work)
        self.assertPagePassed(result)
        self.assertEqual(self.server.requests, [])
        self.assertEqual(self.calls(), [])

    def test_plugin_gets_the_profile(self):
        self.libraries()
        result = self.page('''
            host.equal(NvAtt.DoChangeEDMProfile("dst", "lib", true, "r"), true, "changed");
            host.equal(NvAtt.DoChangeEDMProfile("fail", "lib", false, ""), true, "failed");
        ''', params={'UserID': 'hong', 'UserPass': 'pw', 'UserName': '홍길동', 'UserDeptName': '총무',
                     'GroupAcl': 'acl'})
        self.assertPagePassed(result)
        self.assertEqual(self.calls(), [
            'EDMSetVeduveWebEx|dst|lib||hong/pw/홍길동/총무|acl|1|result|buffer',
            'EDMSetVeduveWebEx|fail|lib||hong/pw/홍길동/총무|acl|1|result|buffer'])


if __name__ == '__main__':
    unittest.main()
