#!/usr/bin/python3
"""The demo: a compose page adds three Korean-named files (file dialog, shell drop,
script), stages the fields and the body and sends the message to the local stand-in of
the groupware server; the server keeps it as a saved message file, and a read page
restores it from there. Prints what each side saw. With NVATT_DEMO_PICTURES set (the demo
runs under Xvfb with Wine's X11 driver) it also saves pictures of what the user saw there:
the compose list, the upload's progress window, the closing message box and the restored
list."""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'pagelib'))
sys.path.insert(0, os.path.join(ROOT, 'server'))
from nvatt_pages import js_string, run_page, winpath  # noqa: E402
from nvatt_server import NvattServer  # noqa: E402
import message_files  # noqa: E402

COMPOSE = '''
    var pictures = %(pictures)s;
    function say(text) { host.log(text); }
    function NvAtt_ShowAttach(shown) { say("  event ShowAttach(" + shown + ")"); }
    function NvAtt_Close() { say("  event Close()"); }
    host.answer("file", %(dialog)s);
    NvAtt.DoAttachAdd();
    say("added by the file dialog:   " + host.listItems(5).split("\\n").join(", "));
    host.dropFiles(%(dropped)s);
    say("added by a shell drop:      " + host.listItems(5).split("\\n").join(", "));
    say("DoAttachDirect returned     " + NvAtt.DoAttachDirect(%(direct)s));
    say("the list now shows:         " + host.listItems(5).split("\\n").join(", "));
    if (pictures) {
        host.screenshot(pictures + "\\\\compose-list.bmp");
        host.pictureDialogs(pictures);
    }
    NvAtt.DoField("to", "김철수 <kim@example.kr>");
    NvAtt.DoField("cc", "이영희 <lee@example.kr>");
    NvAtt.DoField("subject", "주간 보고서를 보냅니다");
    NvAtt.DoField("htmlbody", "<p>안녕하세요, 이번 주 <b>보고서</b>를 첨부합니다.</p>");
    say("DoSubmit to " + NvAtt.submitURL);
    host.answer("msgbox", "OK");
    NvAtt.DoSubmit();
    say("Response: " + NvAtt.Response);
'''

READ = '''
    var pictures = %(pictures)s;
    function NvAtt_SetDBBody(body, to, cc, haveAttach) {
        host.log("SetDBBody: to=" + to + " cc=" + cc + " attachments=" + haveAttach);
        host.log("  body: " + body);
    }
    host.activate();
    host.log("restored list: " + host.listItems(5).split("\\n").join(", "));
    if (pictures) host.screenshot(pictures + "\\\\restored-list.bmp");
'''


def save_pictures(folder):
    """The host's BMP pictures as PNG files named after what they show."""
    names = {'compose-list': 'compose-list', 'restored-list': 'restored-list'}
    for kind, shown in (('dialog', 'upload-progress'), ('msgbox', 'closing-message')):
        taken = sorted(f[:-4] for f in os.listdir(folder) if f.endswith('-%s.bmp' % kind))
        if taken:
            names[taken[0]] = shown
    for bmp, png in names.items():
        source = os.path.join(folder, bmp + '.bmp')
        if not os.path.exists(source):
            raise SystemExit('the demo took no picture of the %s' % png)
        subprocess.run(['/usr/bin/convert', source, os.path.join(folder, png + '.png')], check=True)
    for f in os.listdir(folder):
        if f.endswith('.bmp'):
            os.remove(os.path.join(folder, f))


def main():
    pictures = os.environ.get('NVATT_DEMO_PICTURES', '')
    if pictures:
        shutil.rmtree(pictures, ignore_errors=True)
        os.makedirs(pictures)
    work = tempfile.mkdtemp(prefix='nvatt-demo-')
    files = {'주간 보고서.hwp': b'HWP ' * 4096, '회의록 (최종).pdf': b'%PDF-1.4 ' * 900, '사진.jpg': b'\xff\xd8' * 5000}
    paths = {}
    for name, data in files.items():
        with open(os.path.join(work, name), 'wb') as f:
            f.write(data)
        paths[name] = winpath(os.path.join(work, name))

    with NvattServer() as server:
        received = []

        def upload(request):
            received.append(request)
            # A moment's wait keeps the progress window up long enough to be pictured.
            return {'body': 'OK;STORED;%d;메일을 보냈습니다.' % len(received), 'delay': 1.5 if pictures else 0}
        server.set_route('/mail/upload.asp', upload)

        print('== compose page (style 1) sends to %s' % server.url)
        result = run_page(COMPOSE % {'dialog': js_string(paths['주간 보고서.hwp']),
                                     'dropped': js_string(paths['회의록 (최종).pdf']),
                                     'direct': js_string(paths['사진.jpg']),
                                     'pictures': js_string(winpath(pictures) if pictures else '')},
                          params={'style': 1, 'strMsgInfo': 'NvAtt 데모', 'aMode': 1,
                                  'submitURL': server.url + '/mail/upload.asp'})
        for line in result.logs[1:]:
            print(line)
        for d in result.dialogs:
            print('dialog shown: %s [%s] %s%s' % (d['kind'], d['caption'], d['text'].replace('\n', ' / '),
                                                 (' (' + d['icon'] + ')') if d['icon'] else ''))
        if not received:
            print('the server received nothing\n' + result.describe())
            return 1

        request = received[-1]
        print('\n== the server received %s %s, %d bytes, %d parts (split by Python\'s email package):'
              % (request.method, request.path, request.body_size, len(request.parts)))
        fields = {}
        attachments = []
        for p in request.parts:
            name = p.name.decode('cp949')
            if p.filename is None:
                value = (p.content or b'').decode('cp949', 'replace')
                fields[name] = value
                print('  %-17s = %s' % (name, value.replace('\t', '\\t')))
            else:
                filename = p.filename.decode('cp949')
                attachments.append((filename.encode('cp949'), p.content or b''))
                print('  %-17s   file "%s", %d bytes, %s' % (name, filename, p.size, p.content_type))

        saved = os.path.join(work, 'saved.pcm2')
        message_files.save(saved, message_files.current_streams(
            fields.get('htmlbody', ''), to=fields.get('to', ''), cc=fields.get('cc', ''),
            attach=[a for a in attachments]))
        server.set_route('/mail/saved/1.pcm2', {'body_file': saved})
        print('\n== read page restores the saved message from %s/mail/saved/1.pcm2' % server.url)
        back = run_page(READ % {'pictures': js_string(winpath(pictures) if pictures else '')}, params={'style': 0, 'sqlfilepath': server.url + '/mail/saved/1.pcm2'},
                        activate=False)
        for line in back.logs:
            if not line.startswith('host:'):
                print(line)
        ok = result.passed and back.passed
        if ok and pictures:
            save_pictures(pictures)
            print('\n== pictures of what the user saw: %s' % pictures)
            for f in sorted(os.listdir(pictures)):
                print('  ' + f)
        print('\ndemo %s' % ('finished' if ok else 'FAILED: ' + result.describe() + back.describe()))
    shutil.rmtree(work, ignore_errors=True)
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
