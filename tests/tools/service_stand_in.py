#!/usr/bin/env python3
"""A stand-in for the Veskara service on 127.0.0.1, for morvanectl doctor's
tests and for the real Codex client: GET .../models answers 200 with
"Authorization: Bearer KEY" and 401 with any other key; POST .../responses
with the key streams one short answer as the client reads it (server-sent
events), 401 without it. A path with /moved/ in it answers 301 towards the
same path without it. CONNECT opens a tunnel to 127.0.0.1, as a proxy
does, unless the request carries a key. Prints the port it listens on, then serves until it
is stopped, 120 s at most (or SECONDS).

    service_stand_in.py KEY [--no-models] [--log FILE] [--seconds SECONDS]
                        [--tls CERTIFICATE KEY-FILE]

--no-models: a mirror without a models list (404 on .../models).
--tls: HTTPS, with that certificate chain and its private key.
--log FILE: one line per request, "METHOD PATH KEY-SENT", the key as sent.
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
log_file = sys.argv[sys.argv.index("--log") + 1] if "--log" in sys.argv else None
seconds = int(sys.argv[sys.argv.index("--seconds") + 1]) if "--seconds" in sys.argv else 120
answer = "Hi from the stand-in."


def events():
    """The least the client 0.171 answers from: the answer as one assistant
    message, then the response completed (without it the client retries;
    without the role it prints nothing)."""
    yield {"type": "response.output_item.done",
           "item": {"type": "message", "role": "assistant",
                    "content": [{"type": "output_text", "text": answer}]}}
    yield {"type": "response.completed", "response": {"id": "resp_1"}}


class Service(http.server.BaseHTTPRequestHandler):
    def accepted(self):
        sent = self.headers.get("Authorization", "")
        if log_file:
            with open(log_file, "a") as log:
                print(self.command, self.path, sent.removeprefix("Bearer "), file=log)
        return sent == "Bearer " + key

    def answer(self, status, body, content_type="application/json"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if "/moved/" in self.path:
            self.send_response(301)
            self.send_header("Location", self.path.replace("/moved/", "/"))
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        accepted = self.accepted()
        models = self.path.split("?")[0].endswith("/models")
        if models and no_models:
            self.answer(404, b'{"error": "not found"}')
            return
        body = b'{"object": "list", "data": []}' if accepted else b'{"error": "invalid key"}'
        self.answer(200 if accepted and models else 401, body)

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if not self.path.split("?")[0].endswith("/responses"):
            self.answer(404, b'{"error": "not found"}')
        elif not self.accepted():
            self.answer(401, b'{"error": {"message": "invalid key", "code": "invalid_api_key"}}')
        else:
            stream = "".join("data: %s\n\n" % json.dumps(event) for event in events())
            self.answer(200, stream.encode(), "text/event-stream")

    def do_CONNECT(self):
        """A proxy's tunnel to this machine, as the client's proxy opens one;
        it refuses a request that would show the proxy the key."""
        host, _, port = self.path.rpartition(":")
        if host != "127.0.0.1" or self.accepted() or "Authorization" in self.headers:
            self.answer(403, b"")
            return
        upstream = socket.create_connection((host, int(port)))
        self.send_response(200)
        self.end_headers()
        ends = [self.connection, upstream]
        while True:
            ready, _, _ = select.select(ends, [], [], 10)
            data = ready and ready[0].recv(65536)
            if not data:
                break
            (upstream if ready[0] is self.connection else self.connection).sendall(data)
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
