#!/usr/bin/python3
"""Quick check of the test server itself: both multipart parsers agree on tricky bodies,
and each canned behaviour does what the tests of the transfer code rely on."""

import hashlib
import http.client
import json
import os
import random
import socket
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from nvatt_server import (NvattServer, StreamingMultipart, generated_bytes,  # noqa: E402
                          parse_multipart_email)


def form(boundary, parts):
    """parts: [(header block bytes, content bytes)]"""
    out = b""
    for head, content in parts:
        out += b"--" + boundary + b"\r\n" + head + b"\r\n\r\n" + content + b"\r\n"
    return out + b"--" + boundary + b"--\r\n"


def disposition(name, filename=None):
    h = b'Content-Disposition: form-data; name="' + name + b'"'
    if filename is not None:
        h += b'; filename="' + filename + b'"'
    return h


class ParsersAgree(unittest.TestCase):
    def test_random_splits(self):
        rng = random.Random(11)
        boundary = b"----b" + b"%032x" % rng.getrandbits(128)
        tricky = (b"\r\n--" + boundary[:-1] + b"x\r\n" + b"\r\r\n\n--" + b"\r\n--" +
                  boundary[:10])
        cases = [
            [(disposition(b"a"), b"")],
            [(disposition(b"a"), b"\xb0\xa1"), (disposition(b"f", "한글.txt".encode("cp949")) +
                                                b"\r\nContent-Type: text/plain", tricky)],
            [(disposition(b"e", b""), b""), (disposition(b"big", b"b.bin"),
                                              bytes(rng.getrandbits(8) for _ in range(200000)))],
        ]
        for parts in cases:
            body = form(boundary, parts)
            ctype = "multipart/form-data; boundary=" + boundary.decode()
            expect, defects = parse_multipart_email(ctype, body)
            self.assertEqual(defects, [])
            self.assertEqual([p.content for p in expect], [c for _, c in parts])
            for _ in range(20):
                s = StreamingMultipart(boundary)
                pos = 0
                while pos < len(body):
                    n = rng.choice([1, 2, 3, 7, 64, 1000, 70000])
                    s.feed(body[pos:pos + n])
                    pos += n
                got, defects = s.close()
                self.assertEqual(defects, [])
                self.assertEqual([(p.name, p.filename, p.content_type, p.size, p.sha256,
                                   p.content) for p in got],
                                 [(p.name, p.filename, p.content_type, p.size, p.sha256,
                                   p.content) for p in expect])

    def test_truncated_body_is_a_defect(self):
        boundary = b"xyz"
        body = form(boundary, [(disposition(b"a"), b"123456")])[:-20]
        s = StreamingMultipart(boundary)
        s.feed(body)
        _, defects = s.close()
        self.assertTrue(defects)


class Behaviours(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.srv = NvattServer(control=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.srv.stop()

    def setUp(self):
        self.srv.clear()

    def get(self, path, **kw):
        c = http.client.HTTPConnection("127.0.0.1", self.srv.port, timeout=5)
        c.request(kw.pop("method", "GET"), path, **kw)
        r = c.getresponse()
        return c, r

    def raw(self, request, read_until_close=True):
        s = socket.create_connection(("127.0.0.1", self.srv.port), timeout=5)
        s.sendall(request)
        data = b""
        try:
            while True:
                d = s.recv(65536)
                if not d:
                    break
                data += d
        except ConnectionResetError:
            data += b"<reset>"
        s.close()
        return data

    def test_answers(self):
        srv = self.srv
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(b"file body")
        srv.set_route("/gen", {"generate": 300001, "framing": "chunked"})
        srv.set_route("/file", {"body_file": f.name})
        srv.set_route("/seq", [{"status": 500, "body": "no"}, {"body": "yes"}])
        srv.set_route("/auth", {"auth": {"expect": "Basic eA=="}, "body": "in"})
        srv.set_route("/fn", lambda req: {"body": req.query_value("q").decode("cp949")})
        _, r = self.get("/gen")
        self.assertEqual(r.read(), generated_bytes(0, 300001))
        _, r = self.get("/file")
        self.assertEqual(r.read(), b"file body")
        os.unlink(f.name)
        statuses = []
        for _ in range(3):
            _, r = self.get("/seq")
            statuses.append((r.status, r.read()))
        self.assertEqual(statuses, [(500, b"no"), (200, b"yes"), (200, b"yes")])
        for headers, status in (({}, 401), ({"Authorization": "Basic eQ=="}, 401),
                                ({"Authorization": "Basic eA=="}, 200)):
            _, r = self.get("/auth", headers=headers)
            r.read()
            self.assertEqual(r.status, status, headers)
        _, r = self.get("/fn?q=%C7%D1")
        self.assertEqual(r.read(), "한".encode("cp949"))
        _, r = self.get("/nothing")
        self.assertEqual(r.status, 404)

    def test_framing_and_faults(self):
        srv = self.srv
        srv.set_route("/close", {"body": "till close", "framing": "close"})
        srv.set_route("/lie", {"body": "short", "content_length": 50})
        srv.set_route("/cut", {"generate": 100000, "close_after": 1000})
        srv.set_route("/r", {"status": 302, "raw_headers": ["Location: {base}/x\r\n"]})
        srv.set_route("/late", {"body": "late", "delay": 0.5, "drip": [2, 0.1]})
        get = b"GET %s HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"
        data = self.raw(get % b"/close")
        self.assertNotIn(b"Content-Length", data)
        self.assertTrue(data.endswith(b"\r\n\r\ntill close"))
        data = self.raw(get % b"/lie")
        self.assertIn(b"Content-Length: 50\r\n", data)
        self.assertTrue(data.endswith(b"\r\n\r\nshort"))
        data = self.raw(get % b"/cut")
        self.assertTrue(data.endswith(b"<reset>") or len(data.split(b"\r\n\r\n", 1)[1]) == 1000)
        data = self.raw(get % b"/r")
        self.assertIn(b"\r\nLocation: " + srv.url.encode() + b"/x\r\n", data)
        t = time.monotonic()
        data = self.raw(get % b"/late")
        self.assertGreater(time.monotonic() - t, 0.6)
        self.assertTrue(data.endswith(b"late"))

    def test_upload_cut_and_records(self):
        srv = self.srv
        srv.set_route("/up", {"body": "OK;1"})
        srv.set_route("/cutup", {"abort_request_after": 10000})
        body = form(b"bb", [(disposition(b"f", b"a.bin"), b"z" * 300000)])
        head = (b"POST %s HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                b"Content-Type: multipart/form-data; boundary=bb\r\nContent-Length: %d\r\n\r\n")
        s = socket.create_connection(("127.0.0.1", srv.port), timeout=5)
        s.sendall(head % (b"/cutup", len(body)))
        with self.assertRaises(OSError):
            for i in range(0, len(body), 1000):
                s.sendall(body[i:i + 1000])
                time.sleep(0.0005)
            s.recv(10)
            raise ConnectionResetError("the server answered")
        s.close()
        rec = srv.wait_for(1, "/cutup")[0]
        self.assertFalse(rec.complete)
        self.assertEqual(rec.body_size, 10000)
        data = self.raw(head % (b"/up?a=%B0%A1", len(body)) + body)
        self.assertTrue(data.endswith(b"OK;1"))
        rec = srv.wait_for(1, "/up")[0]
        self.assertTrue(rec.complete)
        self.assertEqual(rec.body_sha256, hashlib.sha256(body).hexdigest())
        self.assertEqual([(p.name, p.filename, p.size) for p in rec.parts],
                         [(b"f", b"a.bin", 300000)])
        lines = rec.to_lines()
        self.assertEqual(lines[0].split()[2:5], ["x504f5354", "x" + b"/up".hex(),
                                                  "x" + b"a=%B0%A1".hex()])
        part_line = "part x66 x%s - 300000 %s x%s" % (b"a.bin".hex(), rec.parts[0].sha256,
                                                  (b"z" * 300000).hex())
        self.assertTrue(part_line in lines, "no line for the file part")
        json.dumps(rec.to_json())

    def test_control_pages(self):
        c, r = self.get("/__nvatt/route?path=/c", method="POST", body=b'{"body": "via control"}')
        self.assertEqual(r.status, 200)
        r.read()
        _, r = self.get("/c")
        self.assertEqual(r.read(), b"via control")
        _, r = self.get("/__nvatt/requests?path=/c&count=1")
        text = r.read().decode()
        self.assertTrue(text.startswith("request 1 x474554 x" + b"/c".hex()), text)
        _, r = self.get("/__nvatt/wait?path=/c&count=2&timeout=0.2")
        self.assertEqual(r.status, 408)
        r.read()


if __name__ == "__main__":
    unittest.main()
