#!/usr/bin/env python3
"""A stand-in for the Veskara service on 127.0.0.1, for morvanectl doctor's
tests: GET .../models answers 200 with "Authorization: Bearer KEY" and 401
with any other key; a path with /moved/ in it answers 301 towards the same
list. Prints the port it listens on, then serves until it is stopped, 120 s
at most. With a PEM file (certificate and private key), it serves HTTPS.

    service_stand_in.py KEY [PEM]
"""
import http.server
import signal
import ssl
import sys


class Service(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if "/moved/" in self.path:
            self.send_response(301)
            self.send_header("Location", self.path.replace("/moved/", "/"))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        accepted = self.headers.get("Authorization") == "Bearer " + sys.argv[1]
        body = b'{"object": "list", "data": []}' if accepted else b'{"error": "invalid key"}'
        self.send_response(200 if accepted and self.path.endswith("/models") else 401)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


signal.alarm(120)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
if len(sys.argv) > 2:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
