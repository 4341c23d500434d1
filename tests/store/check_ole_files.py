#!/usr/bin/python3
"""Checks the message files our writer made with olefile, a reader we did not write:
exactly the expected streams, each with exactly the expected bytes.
Usage: check_ole_files.py <folder>"""
import struct
import sys

import olefile


def dword(value):
    return struct.pack('<I', value)


def ansi(text):
    return text.encode('cp949')


def text(tag, data):
    return dword(tag) + dword(len(data)) + data


def file_record(tag, name, data):
    return text(tag, name) + dword(len(data)) + data


HEADER = dword(0) + dword(1) + dword(0x10000)
END = dword(8)


def pattern(size, seed):
    return bytes((i * 31 + seed) % 253 for i in range(size))


EXPECTED = {
    'ours.pcm2': {
        'nc_local_property': HEADER + text(0x800000, ansi('받는 사람 <to@x.kr>')) + text(0x1000000, b'cc@x.kr')
        + text(5, ansi('<p>본문</p>'))
        + text(2, b'subject\x08' + ansi('제목') + b'\x7fbody\x08' + ansi('<p>본문</p>') + b'\x7f') + END,
        'nc_local_inline': HEADER + file_record(7, b'a.gif', pattern(5000, 3)) + END,
        'nc_local_attach': HEADER + file_record(6, ansi('보고서.hwp'), pattern(100, 4))
        + file_record(6, ansi('큰 파일.bin'), pattern(150000, 5)) + END,
    },
}


def main():
    folder = sys.argv[1]
    failures = 0
    for name, streams in EXPECTED.items():
        path = f'{folder}/{name}'
        if not olefile.isOleFile(path):
            print(f'{name}: not a compound file')
            failures += 1
            continue
        with olefile.OleFileIO(path) as ole:
            found = sorted('/'.join(entry) for entry in ole.listdir(streams=True, storages=True))
            if found != sorted(streams):
                print(f'{name}: elements {found}, expected {sorted(streams)}')
                failures += 1
            for stream, expected in streams.items():
                if not ole.exists(stream):
                    continue
                data = ole.openstream(stream).read()
                if data != expected:
                    at = next((i for i, (a, b) in enumerate(zip(data, expected)) if a != b),
                              min(len(data), len(expected)))
                    print(f'{name}/{stream}: {len(data)} bytes, expected {len(expected)}; first difference at {at}')
                    failures += 1
                else:
                    print(f'{name}/{stream}: {len(data)} bytes as expected')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
