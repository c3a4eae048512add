#!/usr/bin/env python3
"""Loopback server for the download tests: every way a file server can answer, one path each.

Plain HTTP on --port and, with --cert and --key, HTTPS on --tls-port. It answers only on
127.0.0.1, never waits on a client for more than a few seconds (stalls excepted, which are
bounded too) and ends by itself after --lifetime seconds.

Bodies are the byte pattern (i * 7 + 3) % 251, so a test can check what it received.
  /len/N                 N bytes with Content-Length
  /chunked/N             N bytes in chunks, no Content-Length
  /close/N               N bytes ended by closing the connection, no Content-Length
  /short                 Content-Length 1000 with 600 bytes, then the connection closes
  /status/CODE           that status with a 3-byte body (206 with a Content-Range)
  /redirect/K            K redirects (relative Locations), then /len/100
  /redirect-abs/K        the same with absolute Locations
  /redirect-root/K       the same with Locations from the root ("/redirect-root/...")
  /no-location           302 without Location
  /long-location         302 with a Location of 300 characters
  /to-http               302 to the plain server's /len/100 (HTTPS to HTTP)
  /trickle/N/MS          Content-Length N, one byte every MS milliseconds
  /stall/N/S             Content-Length N, half of it, then nothing for S seconds
  /stall-headers/S       reads the request and answers nothing for S seconds
  /reset/N               Content-Length N, half of it, then a reset
  /file/NAME             a file of --files with Content-Length (sent with sendfile)
"""
import argparse
import http.server
import os
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time

PATTERN = bytes((i * 7 + 3) % 251 for i in range(251 * 64))
MAX_STALL = 180


def body(size, offset=0):
    out = bytearray()
    while len(out) < size:
        start = (offset + len(out)) % 251
        out += PATTERN[start:start + min(size - len(out), len(PATTERN) - 251)]
    return bytes(out)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 10  # a client that keeps still while sending its request is dropped

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        if self.server.verbose:
            sys.stderr.write("%s %s\n" % (self.server.label, format % args))

    def origin(self):
        return "%s://127.0.0.1:%d" % (self.server.scheme, self.server.server_address[1])

    def send(self, status, data=b"", headers=(), length=True):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def redirect(self, location, status=302):
        self.send(status, b"", [("Location", location)])

    def do_GET(self):  # noqa: N802 - the base class's name
        parts = self.path.split("?")[0].strip("/").split("/")
        kind, args = parts[0], parts[1:]
        try:
            handler = getattr(self, "case_" + kind.replace("-", "_"))
        except AttributeError:
            self.send(404, b"not here")
            return
        try:
            handler(*args)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, socket.timeout):
            self.close_connection = True
        except (TypeError, ValueError):
            self.send(400, b"bad case")

    def case_len(self, n):
        self.send(200, body(int(n)))

    def case_chunked(self, n):
        data = body(int(n))
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()
        for at in range(0, len(data), 1000):
            piece = data[at:at + 1000]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        self.wfile.write(b"0\r\n\r\n")

    def case_close(self, n):
        self.send_response(200)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body(int(n)))
        self.close_connection = True

    def case_short(self):
        self.send_response(200)
        self.send_header("Content-Length", "1000")
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body(600))
        self.close_connection = True

    def case_status(self, code, *name):
        headers = [("Content-Range", "bytes 0-2/10")] if code == "206" else []
        self.send(int(code), b"abc", headers)

    def chain(self, k, location):
        # K redirects in all: the last one leads to /len/100, 0 serves it at once.
        k = int(k)
        if k <= 0:
            self.case_len(100)
        elif k == 1:
            self.redirect(location(None), (301, 302, 303, 307)[k % 4])
        else:
            self.redirect(location(k - 1), (301, 302, 303, 307)[k % 4])

    def case_redirect(self, k):
        # Relative to /redirect/K: "K-1" stays beside it.
        self.chain(k, lambda n: "../len/100" if n is None else str(n))

    def case_redirect_abs(self, k):
        self.chain(k, lambda n: self.origin() + ("/len/100" if n is None else "/redirect-abs/%d" % n))

    def case_redirect_root(self, k):
        self.chain(k, lambda n: "/len/100" if n is None else "/redirect-root/%d" % n)

    def case_no_location(self):
        self.send(302, b"")

    def case_long_location(self):
        self.redirect("/len/100?" + "x" * (300 - len("/len/100?")))

    def case_to_http(self):
        self.redirect("http://127.0.0.1:%d/len/100" % self.server.plain_port)

    def case_trickle(self, n, ms):
        self.send_response(200)
        self.send_header("Content-Length", n)
        self.end_headers()
        data = body(int(n))
        for i in range(len(data)):
            self.wfile.write(data[i:i + 1])
            self.wfile.flush()
            time.sleep(int(ms) / 1000)

    def case_stall(self, n, seconds):
        self.send_response(200)
        self.send_header("Content-Length", n)
        self.end_headers()
        self.wfile.write(body(int(n) // 2))
        self.wfile.flush()
        self.hold(seconds)

    def case_stall_headers(self, seconds):
        self.hold(seconds)

    def hold(self, seconds):
        # Until the time is over or the client went away.
        self.connection.settimeout(min(int(seconds), MAX_STALL))
        try:
            while self.connection.recv(1024):
                pass
        except OSError:
            pass
        self.close_connection = True

    def case_reset(self, n):
        self.send_response(200)
        self.send_header("Content-Length", n)
        self.end_headers()
        self.wfile.write(body(int(n) // 2))
        self.wfile.flush()
        # Linger zero: closing sends a reset instead of an orderly end.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True

    def case_file(self, name):
        path = os.path.join(self.server.files, os.path.basename(name))
        if not self.server.files or not os.path.isfile(path):
            self.send(404, b"no file")
            return
        size = os.path.getsize(path)
        self.send_response(200)
        self.send_header("Content-Length", str(size))
        self.end_headers()
        self.wfile.flush()
        # socket.sendfile loops until the whole file is out (one os.sendfile call may send only
        # part of it on a socket with a time-out) and falls back to plain sends under TLS.
        with open(path, "rb") as source:
            self.connection.sendfile(source, 0, size)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(port, scheme, options, context=None):
    server = Server(("127.0.0.1", port), Handler)
    if context:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    server.scheme = scheme
    server.label = scheme
    server.verbose = options.verbose
    server.files = options.files
    server.plain_port = options.port
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--tls-port", type=int)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--files", default="")
    parser.add_argument("--lifetime", type=int, default=3600)
    parser.add_argument("--pidfile")
    parser.add_argument("--verbose", action="store_true")
    options = parser.parse_args()

    serve(options.port, "http", options)
    if options.tls_port and options.cert and options.key:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.cert, options.key)
        serve(options.tls_port, "https", options, context)
    if options.pidfile:
        with open(options.pidfile, "w") as out:
            out.write("%d\n" % os.getpid())
    time.sleep(options.lifetime)


if __name__ == "__main__":
    main()
