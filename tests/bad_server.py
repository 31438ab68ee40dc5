#!/usr/bin/env python3
"""A misbehaving HTTP server on 127.0.0.1 for the game's network tests.

usage: bad_server.py MODE PORTFILE
MODE is one of: hang (reads the request, never answers), garbage (200 with
random bytes), huge (200 with 10 MB), close (promises more than it sends and
closes the connection mid-answer). The chosen port is written to PORTFILE.
Every path is answered the same way.
"""
import http.server
import os
import socketserver
import sys
import time


class Handler(http.server.BaseHTTPRequestHandler):
    mode = "garbage"

    def log_message(self, fmt, *args):
        sys.stderr.write("bad-server: %s %s\n" % (self.mode, fmt % args))

    def do_GET(self):
        if self.mode == "hang":
            time.sleep(600)
            return
        if self.mode == "garbage":
            body = os.urandom(3000)
            self.send_response(200)
            self.send_header("Content-Type", "text/xml")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif self.mode == "huge":
            chunk = b"<" * 65536
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", str(160 * len(chunk)))
            self.end_headers()
            try:
                for _ in range(160):
                    self.wfile.write(chunk)
            except (BrokenPipeError, ConnectionResetError):
                pass
        elif self.mode == "close":
            self.send_response(200)
            self.send_header("Content-Type", "text/xml")
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b'<?xml version="1.0"?><ad type="imageAd"><clickurl>http://')
            self.wfile.flush()
            self.connection.shutdown(2)
        self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("hang", "garbage", "huge", "close"):
        sys.exit("usage: bad_server.py hang|garbage|huge|close PORTFILE")
    Handler.mode = sys.argv[1]
    server = Server(("127.0.0.1", 0), Handler)
    with open(sys.argv[2] + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(sys.argv[2] + ".tmp", sys.argv[2])
    server.serve_forever()


if __name__ == "__main__":
    main()
