"""Loopback servers for the internet layer's tests.

    net_test_server.py http            plain HTTP
    net_test_server.py https CERT KEY  HTTPS with the given certificate
    net_test_server.py ftp ROOT USER PASSWORD

Each binds 127.0.0.1 on a free port, prints the port on the first line of its output and serves
until it is terminated. The HTTP server then prints a line for each request that asks it to.
"""

import base64
import http.server
import socketserver
import ssl
import sys
import time
import urllib.parse

LAST_MODIFIED = "Tue, 15 Nov 1994 08:12:31 GMT"
PAGE = b"<html><head><title>Test page</title></head><body>" + b"x" * 1000 + b"</body></html>"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", headers=(), reason=None):
        self.send_response(status, reason)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def route(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        parts = [p for p in url.path.split("/") if p]
        head = parts[0] if parts else ""
        if head == "page":
            self.reply(200, PAGE, [("Content-Type", "text/html; charset=iso-8859-1"),
                                   ("Last-Modified", LAST_MODIFIED)])
        elif head == "status":
            code = int(parts[1])
            self.reply(code, b"status %d" % code, [("Content-Type", "text/plain")])
        elif head == "redirect":
            code = int(parts[1])
            target = query.get("to", ["/page"])[0]
            self.reply(code, b"moved", [("Location", target), ("Content-Type", "text/plain")])
        elif head == "auth":
            expected = "Basic " + base64.b64encode(b"user:secret").decode()
            if self.headers.get("Authorization") == expected:
                self.reply(200, b"welcome", [("Content-Type", "text/plain")])
            else:
                self.reply(401, b"who are you", [("WWW-Authenticate", 'Basic realm="test"'),
                                                  ("Content-Type", "text/plain")])
        elif head == "headers":
            body = "".join("%s: %s\n" % (k, v) for k, v in self.headers.items()).encode()
            body += ("method=%s\n" % self.command).encode()
            length = int(self.headers.get("Content-Length", "0") or "0")
            if length:
                body += b"body=" + self.rfile.read(length) + b"\n"
            self.reply(200, body, [("Content-Type", "text/plain"), ("X-Twice", "one"), ("X-Twice", "two")])
        elif head == "nohead":
            # A server that refuses HEAD but serves GET.
            if self.command == "HEAD":
                self.reply(405, b"", [("Content-Type", "text/plain")])
            else:
                self.reply(200, PAGE, [("Content-Type", "text/html")])
        elif head == "echo":
            # The request told back as a page title: method, body type and body.
            length = int(self.headers.get("Content-Length", "0") or "0")
            body = self.rfile.read(length).decode() if length else ""
            title = "%s|%s|%s" % (self.command, self.headers.get("Content-Type", ""), body)
            self.reply(200, ("<html><title>%s</title></html>" % title).encode(), [("Content-Type", "text/html")])
        elif head == "slow":
            # Nothing at all for a while: a receive time-out on the reply. With a mark, the
            # server says on its output when it has the request and begins to wait.
            if "mark" in query:
                print("waiting " + query["mark"][0], flush=True)
            time.sleep(float(query.get("delay", ["5"])[0]))
            self.reply(200, b"late", [("Content-Type", "text/plain")])
        elif head == "trickle":
            # Headers and a first piece at once, then the rest only much later.
            self.send_response(200)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", "20000")
            self.end_headers()
            self.wfile.write(b"a" * 100)
            self.wfile.flush()
            time.sleep(float(query.get("delay", ["20"])[0]))
            self.wfile.write(b"b" * 19900)
        elif head == "raw":
            # Replies no well-behaved server sends, written byte for byte; the connection then ends.
            kind = parts[1] if len(parts) > 1 else ""
            if kind == "fold":
                data = b"HTTP/1.1 200 OK\r\nX-A: b\r\n \r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nok"
            elif kind == "garbage":
                data = b"this is no reply at all\r\n\r\n"
            elif kind == "bighead":
                data = (b"HTTP/1.1 200 OK\r\nX-Big: " + b"y" * 300000 +
                        b"\r\nContent-Length: 2\r\n\r\nok")
            else:
                data = b""
            self.close_connection = True
            if self.command != "HEAD" or kind:
                self.wfile.write(data)
        elif head == "endless":
            # A body without end: a piece every few milliseconds until the client goes.
            self.send_response(200)
            self.send_header("Content-Type", query.get("type", ["text/plain"])[0])
            self.end_headers()
            self.close_connection = True
            piece = b"<p>" + b"z" * int(query.get("piece", ["4096"])[0]) + b"</p>"
            try:
                while True:
                    self.wfile.write(piece)
                    self.wfile.flush()
                    time.sleep(float(query.get("pause", ["0.01"])[0]))
            except OSError:
                pass
        elif head == "big":
            size = int(query.get("size", ["3000000"])[0])
            self.reply(200, bytes(i % 251 for i in range(size)), [("Content-Type", "application/octet-stream")])
        else:
            self.reply(404, b"not here", [("Content-Type", "text/plain")])

    def do_GET(self):
        self.route()

    def do_HEAD(self):
        self.route()

    def do_POST(self):
        self.route()


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve_http(context=None):
    server = Server(("127.0.0.1", 0), Handler)
    if context is not None:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


def serve_ftp(root, user, password):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elr")
    authorizer.add_anonymous(root)
    FTPHandler.authorizer = authorizer
    FTPHandler.passive_ports = None
    FTPHandler.permit_foreign_addresses = False
    server = FTPServer(("127.0.0.1", 0), FTPHandler)
    print(server.address[1], flush=True)
    server.serve_forever()


def main():
    mode = sys.argv[1]
    if mode == "http":
        serve_http()
    elif mode == "https":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        serve_http(context)
    elif mode == "ftp":
        serve_ftp(sys.argv[2], sys.argv[3], sys.argv[4])


if __name__ == "__main__":
    main()
