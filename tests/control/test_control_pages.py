"""The control as a page drives it: creation by ProgID, properties, events, errors."""
import unittest

from nvatt_pages import PageTestCase

ATTACH_LIST = 5
FILE_LIST = 6


class CreationAndProperties(PageTestCase):
    def test_created_by_progid_reports_ready_once(self):
        result = self.run_page('''
            host.equal(host.controlWindow(), 1, "in-place active: the window exists");
            host.equal(host.eventCount("ReadyStateChange"), 1, "ready state fired once");
            host.equal(host.listItems(%d), "", "the attachment list exists and is empty");
        ''' % ATTACH_LIST)
        self.assertPagePassed(result)
        self.assertEqual(result.events_named('ReadyStateChange'), ['ReadyStateChange(4)'])

    def test_style_is_taken_once_at_creation(self):
        result = self.run_page('''
            host.equal(host.listItems(%d), "", "style 3 makes the file list");
            var noAttachList = false;
            try { host.listItems(%d); } catch (e) { noAttachList = true; }
            host.check(noAttachList, "and no attachment list");
            NvAtt.style = 1;
            host.equal(NvAtt.style, 1, "the property changes");
            noAttachList = false;
            try { host.listItems(%d); } catch (e) { noAttachList = true; }
            host.check(noAttachList, "but the view stays the file list");
        ''' % (FILE_LIST, ATTACH_LIST, ATTACH_LIST), params={'style': 3})
        self.assertPagePassed(result)


class AttachListProperty(PageTestCase):
    def test_persisted_list_waits_for_the_window_script_list_applies_at_once(self):
        params = {'style': 0, 'attachlist': 'a.doc\tb.pdf', 'attachSize': '2048\t'}
        result = self.run_page('''
            host.equal(host.controlWindow(), 0, "no window before activation");
            host.equal(host.activate(), 0, "activation");
            // At creation a row without a size has no suffix outside compose mode.
            host.equal(host.listItems(%d), "b.pdf\\na.doc(2K)", "persisted list applied at creation");
            NvAtt.attachSize = "10\\t20\\t";
            NvAtt.attachlist = "x.txt\\ty.txt\\tz.txt";
            host.equal(host.listItems(%d), "z.txt()\\ny.txt(1K)\\nx.txt(1K)", "script value rebuilds the list");
            NvAtt.attachlist = "";
            host.equal(host.listItems(%d), "", "an empty value empties the list");
            host.equal(host.eventCount("ShowAttach"), 0, "the rebuild does not lay out the list");
        ''' % (ATTACH_LIST, ATTACH_LIST, ATTACH_LIST), params=params, activate=False)
        self.assertPagePassed(result)

    def test_set_before_the_window_exists_changes_only_the_property(self):
        result = self.run_page('''
            NvAtt.attachlist = "a.doc";
            host.equal(host.activate(), 0, "activation");
            // Creation applies what the property holds then.
            host.equal(host.listItems(%d), "a.doc", "applied once, at creation");
        ''' % ATTACH_LIST, activate=False)
        self.assertPagePassed(result)


class Methods(PageTestCase):
    def test_methods_of_the_core(self):
        result = self.run_page('''
            host.check(NvAtt.DoEDM("", "") === true, "DoEDM returns true");
            host.check(NvAtt.DoEDMAttachObject("lib", "dst") === true, "DoEDMAttachObject returns true");
            host.check(NvAtt.DoShowDodud() === undefined, "DoShowDodud does nothing");
            host.answer("dialog", "OK");
            NvAtt.AboutBox();
            host.equal(host.dialogCount(), 1, "AboutBox shows one dialog");
        ''')
        self.assertPagePassed(result)
        self.assertEqual(result.dialogs[0]['answer'], 'OK')



if __name__ == '__main__':
    unittest.main()
