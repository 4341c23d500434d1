"""What the test server records of a request, and the multipart parsers that split
upload bodies: the e-mail package for normal tests, a streaming splitter for huge
bodies. Byte strings stay bytes; to_lines writes them as hex for the Windows tests."""

import email.parser
import email.policy
import hashlib

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


# ---------------------------------------------------------------------------------------
# Records


class Part:
    """One part of a multipart/form-data body."""

    def __init__(self):
        self.name = None          # bytes
        self.filename = None      # bytes, None when the part has no filename parameter
        self.content_type = None  # str, None when the part has no Content-Type
        self.size = 0
        self.sha256 = ""
        self.content = None       # bytes when size <= KEEP_CONTENT
        self.defects = []

    def __repr__(self):
        return "Part(name=%r, filename=%r, type=%r, size=%d)" % (
            self.name, self.filename, self.content_type, self.size)


class Request:
    """One recorded request."""

    def __init__(self):
        self.seq = 0
        self.connection = 0      # number of the TCP connection it came on
        self.request_line = ""   # latin-1, without the line end
        self.method = ""
        self.path = ""
        self.query_raw = ""
        self.headers = []        # [(name, value)] latin-1
        self.body_size = 0
        self.body_sha256 = ""
        self.body = None         # bytes when body_size <= KEEP_CONTENT
        self.complete = False    # the whole declared body arrived
        self.parser = None       # "email" or "stream" for multipart bodies
        self.parts = []
        self.multipart_defects = []
        self.status = None       # status sent back; the log line is written before the answer

    def header(self, name, default=None):
        lname = name.lower()
        for k, v in self.headers:
            if k.lower() == lname:
                return v
        return default

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
    disposition = None
    for k, v in raw_items:
        lk = k.lower()
        if lk == "content-disposition":
            if disposition is not None:
                part.defects.append("more than one Content-Disposition")
            disposition = v
        elif lk == "content-type":
            part.content_type = v.decode("latin-1").strip()
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
