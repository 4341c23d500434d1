"""What the test server records of a request, and the multipart parsers that split
upload bodies: the e-mail package for normal tests, a streaming splitter for huge
bodies. Byte strings stay bytes; to_json writes them as latin-1 strings (one character
per byte) with *_text siblings decoded as CP949, and load_log reads them back."""

import email.parser
import email.policy
import hashlib
import json
import time

KEEP_CONTENT = 1 << 20        # bodies and parts up to this size are kept in the record


# ---------------------------------------------------------------------------------------
# Generated bodies: byte i is (P[i % 65521] + i // 65521) & 0xFF with
# P[j] = (7 * j + (j >> 8)) & 0xFF. The block length is prime, so a reader that loses or
# repeats a piece of any power-of-two size sees different bytes.

GEN_BLOCK = 65521
_GEN_BASE = bytes((7 * j + (j >> 8)) & 0xFF for j in range(GEN_BLOCK))
_GEN_SHIFT = [bytes((v + k) & 0xFF for v in range(256)) for k in range(256)]


def generated_bytes(offset, n):
    """Bytes [offset, offset + n) of the generated body."""
    out = bytearray()
    pos = offset
    end = offset + n
    while pos < end:
        block, inner = divmod(pos, GEN_BLOCK)
        take = min(GEN_BLOCK - inner, end - pos)
        out += _GEN_BASE[inner:inner + take].translate(_GEN_SHIFT[block & 0xFF])
        pos += take
    return bytes(out)


def generated_sha256(n):
    h = hashlib.sha256()
    pos = 0
    while pos < n:
        take = min(1 << 20, n - pos)
        h.update(generated_bytes(pos, take))
        pos += take
    return h.hexdigest()


# ---------------------------------------------------------------------------------------
# Records


def _latin1(b):
    return None if b is None else b.decode("latin-1")


def _cp949(b):
    return None if b is None else b.decode("cp949", errors="replace")


class Part:
    """One part of a multipart/form-data body."""

    def __init__(self):
        self.name = None          # bytes
        self.filename = None      # bytes, None when the part has no filename parameter
        self.content_type = None  # str, None when the part has no Content-Type
        self.headers_raw = b""    # the part's header block as sent
        self.size = 0
        self.sha256 = ""
        self.content = None       # bytes when size <= KEEP_CONTENT
        self.defects = []

    def to_json(self):
        return {
            "name": _latin1(self.name), "name_text": _cp949(self.name),
            "filename": _latin1(self.filename), "filename_text": _cp949(self.filename),
            "content_type": self.content_type, "headers_raw": _latin1(self.headers_raw),
            "size": self.size, "sha256": self.sha256,
            "content": _latin1(self.content), "content_text": _cp949(self.content),
            "defects": self.defects,
        }

    def __repr__(self):
        return "Part(name=%r, filename=%r, type=%r, size=%d)" % (
            self.name, self.filename, self.content_type, self.size)


class Request:
    """One recorded request."""

    def __init__(self):
        self.seq = 0
        self.connection = 0      # number of the TCP connection it came on
        self.time = time.time()
        self.request_line = ""   # latin-1, without the line end
        self.method = ""
        self.target = ""
        self.path = ""
        self.query_raw = ""
        self.query = []          # [(name bytes, value bytes)] percent-decoded
        self.headers = []        # [(name, value)] latin-1
        self.body_size = 0
        self.body_sha256 = ""
        self.body = None         # bytes when body_size <= KEEP_CONTENT
        self.complete = False    # the whole declared body arrived
        self.aborted = None      # why the body did not arrive whole
        self.parser = None       # "email" or "stream" for multipart bodies
        self.parts = []
        self.multipart_defects = []
        self.route = None
        self.status = None       # status sent back; the log line is written before the answer

    def header(self, name, default=None):
        lname = name.lower()
        for k, v in self.headers:
            if k.lower() == lname:
                return v
        return default

    def query_value(self, name):
        if isinstance(name, str):
            name = name.encode("cp949")
        for k, v in self.query:
            if k == name:
                return v
        return None

    def part(self, name):
        if isinstance(name, str):
            name = name.encode("cp949")
        for p in self.parts:
            if p.name == name:
                return p
        return None

    def to_json(self):
        return {
            "seq": self.seq, "connection": self.connection, "time": self.time,
            "request_line": self.request_line, "method": self.method, "target": self.target,
            "path": self.path, "query_raw": self.query_raw,
            "query": [[_latin1(k), _latin1(v)] for k, v in self.query],
            "query_text": [[_cp949(k), _cp949(v)] for k, v in self.query],
            "headers": [[k, v] for k, v in self.headers],
            "body_size": self.body_size, "body_sha256": self.body_sha256,
            "body": _latin1(self.body), "complete": self.complete, "aborted": self.aborted,
            "parser": self.parser, "parts": [p.to_json() for p in self.parts],
            "multipart_defects": self.multipart_defects, "route": self.route,
            "status": self.status,
        }

    def to_lines(self):
        """The record as plain lines for the Windows tests: byte strings as 'x' + hex,
        None as '-'."""
        def x(b):
            if b is None:
                return "-"
            if isinstance(b, str):
                b = b.encode("latin-1")
            return "x" + b.hex()
        lines = ["request %d %s %s %s %d %d %s %s %s %s" % (
            self.seq, x(self.method), x(self.path), x(self.query_raw), int(self.complete),
            self.body_size, self.body_sha256 or "-", self.parser or "-",
            self.status if self.status is not None else "-", self.connection)]
        lines.append("line %s" % x(self.request_line))
        for k, v in self.headers:
            lines.append("header %s %s" % (x(k), x(v)))
        if self.body is not None:
            lines.append("body %s" % x(self.body))
        for p in self.parts:
            lines.append("part %s %s %s %d %s %s" % (
                x(p.name), x(p.filename), x(p.content_type), p.size, p.sha256, x(p.content)))
            for d in p.defects:
                lines.append("defect %s" % x(d))
        for d in self.multipart_defects:
            lines.append("defect %s" % x(d))
        lines.append("end")
        return lines


# ---------------------------------------------------------------------------------------
# Multipart parsing


def _disposition_params(raw_value):
    """Parses a Content-Disposition value (raw bytes) with the e-mail package's HTTP header
    parser. Bytes go through latin-1 so that CP949 file names come back byte for byte."""
    header = email.policy.HTTP.header_factory("Content-Disposition", raw_value.decode("latin-1"))
    params = dict(header.params)
    name = params.get("name")
    filename = params.get("filename")
    defects = [str(d) for d in header.defects]
    if header.content_disposition != "form-data":
        defects.append("disposition is %r, not form-data" % header.content_disposition)
    return (None if name is None else name.encode("latin-1"),
            None if filename is None else filename.encode("latin-1"), defects)


def _part_from_headers(part, raw_items):
    """Fills name, filename, content type and header bytes from (name, raw value bytes)."""
    lines = []
    disposition = None
    for k, v in raw_items:
        lines.append(k.encode("latin-1") + b": " + v)
        lk = k.lower()
        if lk == "content-disposition":
            if disposition is not None:
                part.defects.append("more than one Content-Disposition")
            disposition = v
        elif lk == "content-type":
            part.content_type = v.decode("latin-1").strip()
    part.headers_raw = b"\r\n".join(lines)
    if disposition is None:
        part.defects.append("no Content-Disposition")
    else:
        part.name, part.filename, defects = _disposition_params(disposition)
        part.defects += defects
        if part.name is None:
            part.defects.append("no name parameter")


def _set_content(part, content, keep):
    part.size = len(content)
    part.sha256 = hashlib.sha256(content).hexdigest()
    part.content = bytes(content) if part.size <= keep else None


def parse_multipart_email(content_type, body, keep=KEEP_CONTENT):
    """Splits a multipart/form-data body with email.parser.BytesParser (HTTP policy).
    Returns (parts, defects)."""
    msg = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(
        b"Content-Type: " + content_type.encode("latin-1") + b"\r\n\r\n" + body)
    defects = [str(d) for d in msg.defects]
    if not msg.is_multipart():
        return [], defects + ["body is not multipart"]
    if not body.endswith(b"--\r\n") and not body.rstrip(b"\r\n").endswith(b"--"):
        defects.append("no closing delimiter")
    parts = []
    for sub in msg.iter_parts():
        part = Part()
        part.defects = [str(d) for d in sub.defects]
        # raw_items keeps undecodable bytes as surrogate escapes; turn them back into bytes.
        _part_from_headers(part, [(k, str(v).encode("ascii", "surrogateescape"))
                                  for k, v in sub.raw_items()])
        payload = sub.get_payload(decode=True)
        _set_content(part, payload if payload is not None else b"", keep)
        parts.append(part)
    return parts, defects


class StreamingMultipart:
    """Splits a multipart/form-data body fed in pieces, keeping sizes and hashes only
    (content when small). Used where the e-mail parser would hold the whole body."""

    PREAMBLE, HEADERS, CONTENT, EPILOGUE = range(4)

    def __init__(self, boundary, keep=KEEP_CONTENT, hash_parts=True):
        self.first = b"--" + boundary
        self.delim = b"\r\n--" + boundary
        self.keep = keep
        self.hash_parts = hash_parts
        self.state = self.PREAMBLE
        self.buf = b""
        self.parts = []
        self.defects = []
        self.closed = False
        self._part = None
        self._hash = None
        self._kept = None
        self._at_start = True

    def _start_part(self, header_block):
        part = Part()
        items = []
        for line in header_block.split(b"\r\n"):
            if not line:
                continue
            name, sep, value = line.partition(b":")
            if not sep:
                part.defects.append("header line without colon: %r" % line[:80])
                continue
            items.append((name.decode("latin-1").strip(), value.strip()))
        _part_from_headers(part, items)
        self._part = part
        self._hash = hashlib.sha256() if self.hash_parts else None
        self._kept = bytearray()

    def _content(self, data):
        part = self._part
        part.size += len(data)
        if self._hash is not None:
            self._hash.update(data)
        if self._kept is not None:
            if part.size <= self.keep:
                self._kept += data
            else:
                self._kept = None

    def _end_part(self):
        part = self._part
        part.sha256 = self._hash.hexdigest() if self._hash is not None else ""
        part.content = bytes(self._kept) if self._kept is not None else None
        self.parts.append(part)
        self._part = None

    def feed(self, data):
        buf = self.buf + data if self.buf else bytes(data)
        pos = 0
        while pos < len(buf) or self.state == self.PREAMBLE:
            if self.state == self.PREAMBLE:
                if self._at_start:
                    # Our encoder, browsers and curl start the body with the delimiter.
                    if len(buf) < len(self.first):
                        break
                    if not buf.startswith(self.first):
                        self._at_start = False
                        continue
                    at, after = 0, len(self.first)
                else:
                    at = buf.find(self.delim, pos)
                    if at < 0:
                        pos = max(pos, len(buf) - len(self.delim))
                        break
                    after = at + len(self.delim)
                nxt = self._after_delimiter(buf, after)
                if nxt < 0:
                    pos = at
                    break
                self._at_start = False
                pos = nxt
            elif self.state == self.HEADERS:
                end = buf.find(b"\r\n\r\n", pos)
                if end < 0:
                    if len(buf) - pos > 65536:
                        self.defects.append("part headers longer than 64 KiB")
                        self.state = self.EPILOGUE
                    break
                self._start_part(buf[pos:end])
                pos = end + 4
                self.state = self.CONTENT
            elif self.state == self.CONTENT:
                at = buf.find(self.delim, pos)
                if at < 0:
                    safe = max(pos, len(buf) - len(self.delim))
                    self._content(memoryview(buf)[pos:safe])
                    pos = safe
                    break
                self._content(memoryview(buf)[pos:at])
                pos = at
                nxt = self._after_delimiter(buf, at + len(self.delim))
                if nxt < 0:
                    break
                self._end_part()
                pos = nxt
            else:
                pos = len(buf)
                break
        self.buf = buf[pos:]

    def _after_delimiter(self, buf, after):
        """Where the next part's headers begin after a delimiter ending at after; -1 when
        more bytes are needed. Sets the state."""
        if len(buf) < after + 2:
            return -1
        tail = buf[after:after + 2]
        if tail == b"--":
            self.closed = True
            self.state = self.EPILOGUE
            return after + 2
        if tail == b"\r\n":
            self.state = self.HEADERS
            return after + 2
        # Transport padding (spaces or tabs) before the line end is allowed.
        line_end = buf.find(b"\r\n", after)
        if line_end < 0:
            return -1
        if buf[after:line_end].strip(b" \t"):
            self.defects.append("text after a delimiter")
        self.state = self.HEADERS
        return line_end + 2

    def close(self):
        if self.state == self.CONTENT and self._part is not None:
            self._content(self.buf)
            self._end_part()
            self.defects.append("body ended inside a part")
        elif not self.closed:
            self.defects.append("no closing delimiter")
        self.buf = b""
        return self.parts, self.defects


def multipart_boundary(content_type):
    """The boundary of a multipart/form-data Content-Type, or None."""
    if not content_type:
        return None
    header = email.policy.HTTP.header_factory("Content-Type", content_type)
    if header.content_type != "multipart/form-data":
        return None
    boundary = header.params.get("boundary")
    return boundary.encode("latin-1") if boundary else None



def load_log(path):
    """Reads a requests.jsonl written by the server back into dicts whose byte strings are
    bytes again."""
    def b(s):
        return None if s is None else s.encode("latin-1")
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            r = json.loads(line)
            r["body"] = b(r["body"])
            r["query"] = [(b(k), b(v)) for k, v in r["query"]]
            for p in r["parts"]:
                for key in ("name", "filename", "headers_raw", "content"):
                    p[key] = b(p[key])
            out.append(r)
    return out
