"""Message files for page tests, assembled record by record here and written by an
independent compound-file writer (Perl's OLE::Storage_Lite), not by the control."""
import os
import struct
import subprocess

SAVE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'save_compound.pl')

BEGIN, VERSION, FIELDS, KEYWORDS, BODY, ATTACH, INLINE, END = 0, 1, 2, 3, 5, 6, 7, 8
TO, CC = 0x800000, 0x1000000
LEGACY_BODY, LEGACY_ATTACH, LEGACY_END = 0x8000, 0x40000, 0x80000000


def cp949(text):
    return text.encode('cp949') if isinstance(text, str) else text


def dword(value):
    return struct.pack('<I', value)


def text(tag, value):
    data = cp949(value)
    return dword(tag) + dword(len(data)) + data


def file_record(tag, name, data):
    return text(tag, name) + dword(len(data)) + data


def header():
    return dword(BEGIN) + dword(VERSION) + dword(0x10000)


def current_streams(body, to='', cc='', inline=(), attach=()):
    """The three streams of the current generation; inline and attach are (name, bytes)."""
    properties = header() + text(TO, to) + text(CC, cc) + text(BODY, body)
    properties += text(FIELDS, b'body\x08' + cp949(body) + b'\x7f') + dword(END)
    inline_stream = header() + b''.join(file_record(INLINE, n, d) for n, d in inline) + dword(END)
    attach_stream = header() + b''.join(file_record(ATTACH, n, d) for n, d in attach) + dword(END)
    return {'nc_local_property': properties, 'nc_local_inline': inline_stream, 'nc_local_attach': attach_stream}


def legacy_streams(body, to='', cc='', attach=()):
    properties = dword(0) + dword(1) + dword(3) + text(0x20, 'dropped') + text(TO, to) + text(CC, cc)
    properties += text(LEGACY_BODY, body) + dword(LEGACY_END)
    attach_stream = dword(0) + dword(1) + dword(3)
    attach_stream += b''.join(file_record(LEGACY_ATTACH, n, d) for n, d in attach) + dword(LEGACY_END)
    return {'_vxLocalproperty': properties, '_vxLocalAttach': attach_stream}


def claim_stream_size(path, name, size):
    """Makes the directory entry of stream `name` claim `size` bytes (a crafted file)."""
    with open(path, 'r+b') as f:
        f.seek(f.read().index(name.encode('utf-16-le') + b'\0\0') + 0x78)
        f.write(struct.pack('<Q', size))


def save(path, streams):
    lines = ''.join('%s\t%s\n' % (name, data.hex()) for name, data in streams.items())
    subprocess.run(['perl', SAVE, path], input=lines.encode('ascii'), check=True)


def message_reply(subject='', to='', cc='', attach=(), keys=(), inline_keys=(), status='OK', reason='',
                  records=()):
    """The download script's answer for one message (the test server writes it as CP949):
    eight fields, then name/value records, separated by DEL; parts split by backspace."""
    lists = '\b'.join('\t'.join(items) for items in (attach, keys, inline_keys))
    fields = ['id', 'folder', subject, to + '\b' + cc, lists, status + '\b' + reason, '0', '0']
    return '\x7f'.join(fields + [name + '\b' + value for name, value in records])
