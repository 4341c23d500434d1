"""The attachment list and file list driven from pages: every way of adding a file,
duplicates, folders, files another program keeps open, labels, names and size texts."""
import os
import shutil
import tempfile
import unittest

from nvatt_pages import PageTestCase, hold_file, js_string, winpath

ATTACH_LIST = 5
FILE_LIST = 6
CANCEL_ATTACHMENT = 32775
CANCEL_SELECTED_FILES = 32812
CAPTION = '첨부 컨트롤'
# Open-file dialog flags: hide read-only, allow multi-select, file must exist, enable
# sizing; explorer style, which returns a multiple selection with long names.
OFN_HIDEREADONLY, OFN_ALLOWMULTISELECT, OFN_FILEMUSTEXIST = 0x4, 0x200, 0x1000
OFN_EXPLORER, OFN_ENABLESIZING = 0x80000, 0x800000
LIST_FILE_FLAGS = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_EXPLORER
ALL_DOCUMENTS = '모든 문서(*.*)|*.*||'
DUPLICATE = '같은 이름의 파일이 이미 첨부되어 있습니다.'
FOLDER = '폴더는 첨부할 수 없습니다.'


class FilesTestCase(PageTestCase):
    """Each test gets a folder of files with Korean names."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='nvatt-attach-')
        self.addCleanup(shutil.rmtree, self.folder, True)

    def make(self, name, size=1):
        path = os.path.join(self.folder, name)
        with open(path, 'wb') as f:
            f.write(b'x' * size)
        return winpath(path)

    def run_compose(self, script, style=1, **kwargs):
        params = {'style': style, 'strMsgInfo': CAPTION}
        params.update(kwargs.pop('params', {}))
        return self.run_page(script, params=params, **kwargs)

    def assertMessages(self, result, expected):
        boxes = [(d['caption'], d['text'], d['icon']) for d in result.dialogs if d['kind'] == 'msgbox']
        self.assertEqual(boxes, expected, result.describe())


class FileDialog(FilesTestCase):
    def test_three_files_with_a_duplicate_in_the_middle(self):
        first, dup, third = self.make('첫째.doc'), self.make('둘째.hwp'), self.make('셋째.txt')
        result = self.run_compose('''
            host.equal(NvAtt.DoAttachDirect(%(dup)s), 1, "the second file is already attached");
            host.answer("file", [%(first)s, %(dup)s, %(third)s].join("|"));
            host.answer("msgbox", "OK");
            host.equal(NvAtt.DoAttachAdd(), 0, "DoAttachAdd returns 0");
            host.equal(host.listItems(%(list)d), "첫째.doc\\n둘째.hwp", "rows: newest first");
            host.equal(NvAtt.DoGetAttach(), %(first)s + "|" + %(dup)s + "|", "names are the full paths");
        ''' % {'first': js_string(first), 'dup': js_string(dup), 'third': js_string(third), 'list': ATTACH_LIST})
        self.assertPagePassed(result)
        self.assertMessages(result, [(CAPTION, DUPLICATE, 'stop')])
        self.assertEqual([(d['filter'], d['flags']) for d in result.dialogs if d['kind'] == 'file'],
                         [(ALL_DOCUMENTS, LIST_FILE_FLAGS | OFN_ENABLESIZING)])
        # DoAttachDirect, the duplicate stop and nothing after it: three layouts.
        self.assertEqual(result.events_named('ShowAttach'), ['ShowAttach(1)'] * 2)

    def test_cancelled_dialog_adds_nothing_and_file_list_gets_its_own_dialog(self):
        a, b = self.make('가.txt', 1023), self.make('나.txt', 1536)
        result = self.run_compose('''
            host.answer("file", "");
            NvAtt.DoAttachAddFile();
            host.equal(host.listItems(%(list)d), "", "cancel adds nothing");
            host.equal(host.eventCount("ShowAttach"), 0, "and lays nothing out");
            host.answer("file", %(a)s + "|" + %(b)s);
            host.equal(NvAtt.DoAttachAddFile(), 0, "DoAttachAddFile returns 0");
            host.equal(host.listItems(%(list)d), "나.txt\\n가.txt", "file list rows");
        ''' % {'a': js_string(a), 'b': js_string(b), 'list': FILE_LIST}, style=3)
        self.assertPagePassed(result)
        self.assertEqual([(d['kind'], d['filter'], d['flags']) for d in result.dialogs],
                         [('file', ALL_DOCUMENTS, LIST_FILE_FLAGS)] * 2)
        self.assertEqual(result.events_named('ShowAttach'), ['ShowAttach(1)'])


class ListWindows(FilesTestCase):
    def test_lists_as_created_laid_out_and_resized(self):
        # (style, aMode, window style, list style, normal and small image lists, columns,
        #  whether a row makes the list one row high)
        cases = [
            (1, 0, 0x50000940, 0x400, 'system-large', 'none', '', True),
            (1, 1, 0x5000414A, 0x400, 'none', 'system-small', '', False),
            (3, 0, 0x5000004D, 0x420, 'none', 'system-small', '파일명/220|크기/125', False),
        ]
        a = self.make('a.txt')
        for style, mode, window, list_style, normal, small, columns, one_row in cases:
            with self.subTest(style=style, aMode=mode):
                list_id = FILE_LIST if style == 3 else ATTACH_LIST
                result = self.run_compose('''
                    host.log(host.listWindow(%(list)d));
                    host.dropFiles(%(a)s);
                    host.log(host.listWindow(%(list)d));
                    host.resizeControl(300, 150);
                    host.log(host.listWindow(%(list)d));
                ''' % {'list': list_id, 'a': js_string(a)}, style=style, params={'aMode': mode})
                self.assertPagePassed(result)
                created, laid_out, resized = [dict(item.split('=', 1) for item in line.split(' '))
                                              for line in result.logs[-3:]]
                self.assertEqual((created['style'], created['exstyle'], created['lvstyle'], created['normal'],
                                  created['small'], created['columns']),
                                 ('0x%08X' % window, '0x00000200', '0x%08X' % list_style, normal, small, columns))
                # Activation sized the control: the list fills it.
                self.assertEqual(created['rect'], '0,0,600,200')
                row_high = int(laid_out['row']) + 2 * int(laid_out['frame'])
                self.assertEqual(laid_out['rect'], '0,0,600,%d' % row_high if one_row else '0,0,600,200')
                self.assertEqual(resized['rect'], '0,0,300,150')


class Drop(FilesTestCase):
    def test_folder_in_the_middle_of_a_drop(self):
        a, c = self.make('앞.txt'), self.make('뒤.txt')
        os.mkdir(os.path.join(self.folder, '폴더'))
        folder = winpath(os.path.join(self.folder, '폴더'))
        result = self.run_compose('''
            host.answer("msgbox", "OK");
            host.dropFiles([%(a)s, %(folder)s, %(c)s].join("|"));
            host.equal(host.listItems(%(list)d), "앞.txt", "only the file before the folder");
            host.dropFiles(%(a)s);
            host.equal(host.listItems(%(list)d), "앞.txt\\n앞.txt", "drops have no duplicate test");
        ''' % {'a': js_string(a), 'folder': js_string(folder), 'c': js_string(c), 'list': ATTACH_LIST})
        self.assertPagePassed(result)
        self.assertMessages(result, [(CAPTION, FOLDER, 'stop')])
        self.assertEqual(result.events_named('ShowAttach'), ['ShowAttach(1)'] * 2)

    def test_drop_on_the_file_list_in_file_list_mode(self):
        a = self.make('보고서(1).doc', 1048576)
        result = self.run_compose('''
            host.dropFiles(%s);
            host.equal(host.listItems(%d), "보고서(1).doc", "label keeps the parentheses of the name");
            host.equal(host.listColumn(%d, 1), "1.00 MByte", "size column");
        ''' % (js_string(a), FILE_LIST, FILE_LIST), style=3)
        self.assertPagePassed(result)

    def test_a_path_too_long_for_a_row_is_refused_with_a_message(self):
        long_path = 'Z:\\' + '\\'.join(['가나다라마바사아자차'] * 30) + '\\x.txt'
        result = self.run_compose('''
            host.answer("msgbox", "OK");
            host.dropFiles(%s);
            host.equal(host.listItems(%d), "", "no row for a path that does not fit");
        ''' % (js_string(long_path), ATTACH_LIST))
        self.assertPagePassed(result)
        self.assertEqual(len(result.dialogs), 1, result.describe())
        self.assertEqual(result.dialogs[0]['icon'], 'stop')
        self.assertIn('경로가 너무 길어', result.dialogs[0]['text'])


class AttachDirect(FilesTestCase):
    def test_results_and_messages(self):
        doc = self.make('문서.doc')
        os.mkdir(os.path.join(self.folder, 'sub'))
        result = self.run_compose('''
            host.equal(NvAtt.DoAttachDirect(%(missing)s), 0, "a path that does not exist");
            host.equal(host.dialogCount(), 0, "shows nothing");
            host.equal(NvAtt.DoAttachDirect(%(sub)s), 0, "a folder is not a file");
            host.equal(NvAtt.DoAttachDirect(%(doc)s), 1, "a file");
            host.answer("msgbox", "OK");
            host.equal(NvAtt.DoAttachDirect(%(upper)s), 0, "the same file in other letter case");
            host.equal(host.listItems(%(list)d), "문서.doc", "one row");
        ''' % {'missing': js_string(doc + '.none'), 'sub': js_string(winpath(os.path.join(self.folder, 'sub'))),
               'doc': js_string(doc), 'upper': js_string(doc.upper()), 'list': ATTACH_LIST})
        self.assertPagePassed(result)
        self.assertMessages(result, [(CAPTION, DUPLICATE, 'stop')])


class LabelsAndNames(FilesTestCase):
    def test_cancelled_rows_are_reported_and_the_empty_list_hides(self):
        a, b = self.make('a.txt'), self.make('b.txt')
        result = self.run_compose('''
            NvAtt.recordkeylist = "k1\\tk2\\t";
            NvAtt.attachlist = "s1.doc\\ts2.doc";
            NvAtt.DoAttachDirect(%(a)s);
            NvAtt.DoAttachDirect(%(b)s);
            host.check(host.listVisible(%(list)d), "a list with rows is shown");
            host.selectRows(%(list)d, "0,1");
            host.sendCommand(%(cancel)d);
            host.selectRows(%(list)d, "0,1");
            host.sendCommand(%(cancel)d);
            host.equal(host.listItems(%(list)d), "", "every row cancelled");
            host.equal(NvAtt.recordkeylist, "", "the server rows' keys left the list");
            host.check(!host.listVisible(%(list)d), "an empty attachment list hides itself");
        ''' % {'a': js_string(a), 'b': js_string(b), 'list': ATTACH_LIST, 'cancel': CANCEL_ATTACHMENT})
        self.assertPagePassed(result)
        self.assertEqual(result.events_named('ShowAttach'),
                         ['ShowAttach(1)', 'ShowAttach(1)', 'ShowAttach(1)', 'ShowAttach(0)'])
        # Local rows by their path, server rows by their record key, as each step found it.
        self.assertEqual(result.events_named('DelFiles'), ['DelFiles(%s|%s)' % (b, a), 'DelFiles(k1|k2)'])

    def test_empty_file_list_stays_visible(self):
        a = self.make('a.txt')
        result = self.run_compose('''
            host.dropFiles(%(a)s);
            host.selectRows(%(list)d, "0");
            host.sendCommand(%(cancel)d);
            host.equal(host.listItems(%(list)d), "", "row removed");
            host.check(host.listVisible(%(list)d), "the file list is not hidden");
        ''' % {'a': js_string(a), 'list': FILE_LIST, 'cancel': CANCEL_SELECTED_FILES}, style=3)
        self.assertPagePassed(result)
        self.assertEqual(result.events_named('ShowAttach'), ['ShowAttach(1)', 'ShowAttach(0)'])

class FilesHeldOpen(FilesTestCase):
    def test_copies_are_attached_and_deleted_with_the_window(self):
        locked = self.make('잠긴 문서.txt', 100)
        # A copy name that is taken by a file of someone else's is skipped.
        self.make('사본 (2) - 잠긴 문서.txt', 5)
        hold_file(self, os.path.join(self.folder, '잠긴 문서.txt'), 'readwrite')
        first = winpath(os.path.join(self.folder, '사본 - 잠긴 문서.txt'))
        third = winpath(os.path.join(self.folder, '사본 (3) - 잠긴 문서.txt'))
        result = self.run_compose('''
            host.answer("file", %(locked)s);
            NvAtt.DoAttachAdd();
            host.dropFiles(%(locked)s);
            host.equal(host.listItems(%(list)d), "사본 (3) - 잠긴 문서.txt\\n사본 - 잠긴 문서.txt", "the rows are copies");
            host.equal(NvAtt.DoGetAttach(), %(third)s + "|" + %(first)s + "|", "named by the copies' paths");
            host.equal(host.readFile(%(first)s), "%(content)s", "with the file's content");
            host.equal(host.readFile(%(third)s), "%(content)s", "both");
            host.deactivate();
            host.check(!host.fileExists(%(first)s) && !host.fileExists(%(third)s), "the copies go with the window");
        ''' % {'locked': js_string(locked), 'first': js_string(first), 'third': js_string(third),
               'list': ATTACH_LIST, 'content': 'x' * 100})
        self.assertPagePassed(result)
        self.assertTrue(os.path.exists(os.path.join(self.folder, '사본 (2) - 잠긴 문서.txt')),
                        'a file the control did not make stays')

    def test_unreadable_file_keeps_its_own_path(self):
        locked = self.make('혼자.txt')
        hold_file(self, os.path.join(self.folder, '혼자.txt'))
        result = self.run_compose('''
            host.dropFiles(%(locked)s);
            host.equal(NvAtt.DoGetAttach(), %(locked)s + "|", "no copy could be made");
        ''' % {'locked': js_string(locked)})
        self.assertPagePassed(result)
        self.assertEqual(os.listdir(self.folder), ['혼자.txt'])


if __name__ == '__main__':
    unittest.main()
