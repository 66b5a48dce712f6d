#!/usr/bin/env python3
"""A stand-in for the Veskara service on 127.0.0.1, for morvanectl doctor's
tests and the real Codex client: GET .../models answers 200 with
"Authorization: Bearer KEY", 401 with any other key; POST .../responses with
the key streams one short answer as the client reads it; a path with /moved/
in it answers 301; CONNECT opens a proxy's tunnel to 127.0.0.1 unless the
request would show the proxy a key. Prints its port, then serves for 120 s
at most (or SECONDS).

    service_stand_in.py KEY [--no-models] [--seconds SECONDS] [--tls CERTIFICATE KEY-FILE]

--no-models: a mirror without a models list (404 on .../models).
--tls: HTTPS, with that certificate chain and its private key.
"""
import http.server
import json
import select
import signal
import socket
import ssl
import sys

key = sys.argv[1]
no_models = "--no-models" in sys.argv
seconds = int(sys.argv[sys.argv.index("--seconds") + 1]) if "--seconds" in sys.argv else 120
# The least the client 0.171 answers from: one assistant message, then the
# response completed (without it the client retries; without the role it
# prints nothing).
events = [{"type": "response.output_item.done",
           "item": {"type": "message", "role": "assistant",
                    "content": [{"type": "output_text", "text": "Hi from the stand-in."}]}},
          {"type": "response.completed", "response": {"id": "resp_1"}}]


class Service(http.server.BaseHTTPRequestHandler):
    def answer(self, status, body=b"", content_type="application/json", headers=()):
        self.send_response(status)
        for name, value in (("Content-Type", content_type), ("Content-Length", str(len(body)))) + headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        accepted = self.headers.get("Authorization") == "Bearer " + key
        models = self.path.split("?")[0].endswith("/models")
        if "/moved/" in self.path:
            self.answer(301, headers=(("Location", self.path.replace("/moved/", "/")),))
        elif models and no_models:
            self.answer(404, b'{"error": "not found"}')
        else:
            self.answer(200 if accepted and models else 401,
                        b'{"object": "list", "data": []}' if accepted else b'{"error": "invalid key"}')

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if not self.path.split("?")[0].endswith("/responses"):
            self.answer(404, b'{"error": "not found"}')
        elif self.headers.get("Authorization") != "Bearer " + key:
            self.answer(401, b'{"error": {"message": "invalid key", "code": "invalid_api_key"}}')
        else:
            stream = "".join("data: %s\n\n" % json.dumps(event) for event in events)
            self.answer(200, stream.encode(), "text/event-stream")

    def do_CONNECT(self):
        host, _, port = self.path.rpartition(":")
        if host != "127.0.0.1" or "Authorization" in self.headers:
            self.answer(403)
            return
        upstream = socket.create_connection((host, int(port)))
        self.answer(200)
        ends = [self.connection, upstream]
        while True:
            ready, _, _ = select.select(ends, [], [], 10)
            data = ready and ready[0].recv(65536)
            if not data:
                break
            ends[ready[0] is self.connection].sendall(data)
        upstream.close()
        self.close_connection = True

    def log_message(self, *arguments):
        pass


signal.alarm(seconds)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
if "--tls" in sys.argv:
    at = sys.argv.index("--tls")
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[at + 1], sys.argv[at + 2])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
