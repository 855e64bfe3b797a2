# A legacy (Authenticode) time stamp server for the signature tests, on a free
# local port, which it prints. Each request's signature value is signed with
# `openssl smime` (which adds the signing time) and sent back base64-encoded.
# Usage: legacy_time_stamp_server.py CERT KEY
import base64
import http.server
import os
import subprocess
import sys
import tempfile

CERT, KEY = sys.argv[1], sys.argv[2]


def der_items(data):
    at = 0
    while at + 2 <= len(data):
        tag, length = data[at], data[at + 1]
        at += 2
        if length & 0x80:
            count = length & 0x7F
            length = int.from_bytes(data[at:at + count], "big")
            at += count
        yield tag, data[at:at + length]
        at += length


def last_octet_string(data):
    """The request's content: its innermost, last OCTET STRING."""
    found = None
    for tag, body in der_items(data):
        if tag == 0x04:
            found = body
        elif tag & 0x20:
            inner = last_octet_string(body)
            found = inner if inner is not None else found
    return found


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        request = base64.b64decode(self.rfile.read(int(self.headers["Content-Length"])))
        with tempfile.TemporaryDirectory() as work:
            content = os.path.join(work, "content")
            with open(content, "wb") as out:
                out.write(last_octet_string(request))
            signed = subprocess.run(["openssl", "smime", "-sign", "-binary", "-nodetach", "-outform", "DER",
                                     "-md", "sha256", "-signer", CERT, "-inkey", KEY, "-in", content],
                                    check=True, capture_output=True).stdout
        body = base64.b64encode(signed)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
