#!/usr/bin/env python3
"""A stand-in for the Veskara service on 127.0.0.1, for morvanectl doctor's
tests: GET .../models answers 200 with "Authorization: Bearer KEY" and 401
with any other key; an address with "/nolist/" in it answers 404. Prints the port it listens on, then serves until it is
stopped, 120 s at most.

    service_stand_in.py KEY
"""
import http.server
import signal
import sys


class Service(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        accepted = self.headers.get("Authorization") == "Bearer " + sys.argv[1]
        body = b'{"object": "list", "data": []}' if accepted else b'{"error": "invalid key"}'
        status = 200 if accepted and self.path.endswith("/models") else 401
        if "/nolist/" in self.path:  # a mirror that lists no models
            status = 404
        self.send_response(status)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *arguments):
        pass


signal.alarm(120)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
print(server.server_address[1], flush=True)
server.serve_forever()
