#!/usr/bin/python3
"""Writes the seed corpus of the message file readers' fuzz target.
Usage: make_fuzz_corpus.py <folder> (tests/fuzz/corpus/store_records_fuzz)."""
import os
import struct
import sys


def dword(value):
    return struct.pack('<I', value)


def text(tag, data):
    return dword(tag) + dword(len(data)) + data


def file_record(tag, name, data):
    return text(tag, name) + dword(len(data)) + data


def ansi(s):
    return s.encode('cp949')


HEADER = dword(0) + dword(1) + dword(0x10000)
END = dword(8)
LEGACY_END = dword(0x80000000)

SEEDS = {
    'worked-example': bytes.fromhex(
        '00000000 01000000 00000100 00008000 01000000 61 00000001 00000000'
        '05000000 01000000 78 02000000 07000000 626F6479 08 78 7F 08000000'),
    'properties-korean': HEADER + text(0x800000, ansi('홍길동 <hong@x.kr>')) + text(0x1000000, b'')
    + text(3, ansi('키워드')) + text(5, ansi('<p>본문 <img src="a.gif"></p>'))
    + text(2, b'subject\x08' + ansi('제목') + b'\x7f') + END,
    'properties-tag4': HEADER + text(0x800000, b'a') + text(4, b'x') + END,
    'inline-stream': HEADER + file_record(7, b'a.gif', b'GIF89a' + bytes(range(64))) + file_record(7, b'b.png', b'\x89PNG') + END,
    'attach-stream': HEADER + file_record(6, ansi('보고서.hwp'), b'HWP') + file_record(6, b'empty', b'')
    + text(6, b'') + file_record(6, ansi('보고서.hwp'), b'again') + END,
    'legacy-properties': dword(0) + dword(1) + dword(3) + text(0x20, b'x') + text(0x100000, b'y')
    + text(0x800000, b'a@x;b@y;') + text(0x1000000, b'c@z;') + text(0x8000, ansi('옛 본문')) + LEGACY_END,
    'legacy-attach': dword(0) + dword(1) + dword(3) + file_record(0x40000, b'old.doc', b'DOC') + LEGACY_END,
    'truncated-text': HEADER + dword(0x800000) + dword(5) + b'abc',
    'truncated-tag': HEADER + b'\x08\x00',
    'length-past-end': HEADER + dword(5) + dword(0xFFFFFFF0) + b'abc',
    'length-within-a-claimed-4gb': HEADER + dword(5) + dword(0xF0000000) + b'abc',
    'name-past-end': HEADER + dword(6) + dword(0x7FFFFFFF) + b'..\\x',
    'data-past-end': HEADER + text(6, b'a') + dword(0xFFFFFFFF) + b'data',
    'hostile-names': HEADER + b''.join(file_record(6, name, b'1') for name in [
        b'..\\x', b'..\\..\\..\\Windows\\x.dll', b'C:\\x', b'C:x', b'a/b', b'\\\\server\\share\\x', b'CON',
        b'nul.txt', b'LPT1', b'com9.log', b'x. . ', b'..', b'.', b'a.txt:stream', b'a\x00..\\b', b'a?*|<>"\x01']) + END,
}


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
