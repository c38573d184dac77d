#!/usr/bin/env python3
"""A small HTTP peer on 127.0.0.1 for the transfer tests.

It listens on a free port and announces it as "PORT <n>" on standard output.

Modes:
  http           answers the routes below
  silent         accepts connections and never reads or answers
  sniff FILE     accepts one connection, writes the hex of its first bytes to FILE

Routes of the http mode:
  /echo...                the request line, each header ("H name: value") and the body
  /status/NNN             status NNN with a small HTML page
  /typed?type=T           200 with "Content-Type: T" (no such header without type=)
  /big?size=N             N bytes of the pattern (i * 7) % 251, with Content-Length
  /redirect               302 to /echo/redirected
  /short                  announces 1000 bytes, sends 10 and closes
  /stall                  announces 1000 bytes, sends 10 and goes quiet
"""

import socket
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def pattern(size):
    return bytes((i * 7) % 251 for i in range(size))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self.answer()

    def do_POST(self):
        self.answer()

    def body(self):
        length = int(self.headers.get("Content-Length", "0") or "0")
        return self.rfile.read(length) if length > 0 else b""

    def send(self, status, body, content_type="text/plain", extra=()):
        self.send_response(status)
        if content_type is not None:
            self.send_header("Content-Type", content_type)
        for name, value in extra:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def answer(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        route = url.path
        if route.startswith("/echo"):
            received = self.body()
            lines = ["LINE " + self.requestline]
            lines += ["H %s: %s" % (name, value) for name, value in self.headers.items()]
            lines.append("BODY %d" % len(received))
            text = ("\n".join(lines) + "\n").encode("latin-1") + received
            self.send(200, text)
        elif route.startswith("/status/"):
            status = int(route[len("/status/"):])
            self.send(status, b"<html>error page %d</html>" % status, "text/html")
        elif route == "/typed":
            content_type = query["type"][0] if "type" in query else None
            self.send(200, b"typed body", content_type)
        elif route == "/big":
            self.send(200, pattern(int(query["size"][0])), "application/octet-stream")
        elif route == "/redirect":
            self.send(302, b"moved", "text/html", [("Location", "/echo/redirected")])
        elif route in ("/short", "/stall"):
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"0123456789")
            self.wfile.flush()
            if route == "/stall":
                time.sleep(600)
        else:
            self.send(404, b"not here", "text/html")


def listening_socket():
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind(("127.0.0.1", 0))
    sock.listen(16)
    return sock


def announce(port):
    print("PORT %d" % port, flush=True)


def silent():
    sock = listening_socket()
    announce(sock.getsockname()[1])
    held = []
    while True:
        connection, _ = sock.accept()
        held.append(connection)


def sniff(path):
    sock = listening_socket()
    announce(sock.getsockname()[1])
    connection, _ = sock.accept()
    connection.settimeout(10)
    first = b""
    try:
        while len(first) < 5:
            piece = connection.recv(5 - len(first))
            if not piece:
                break
            first += piece
    except OSError:
        pass
    with open(path, "w") as out:
        out.write(first.hex())
    connection.close()


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else "http"
    if mode == "silent":
        silent()
    elif mode == "sniff":
        sniff(sys.argv[2])
    else:
        server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        server.daemon_threads = True
        announce(server.server_address[1])
        server.serve_forever()


if __name__ == "__main__":
    main()
