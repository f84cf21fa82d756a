#!/usr/bin/env python3
"""A stand-in for the vendor's web service, for the store and streaming tests.

Listens on 127.0.0.1 over HTTP and HTTPS (ports chosen by the system). At
start it makes a test CA and a server certificate for 127.0.0.1 with openssl
in the given scratch folder, then writes "ports" there ("<http> <https>").
Every request target is appended to "requests.log".

Each operation answers with the service's markers by default. A test changes
an answer with GET /control/set?key=<operation>&value=<answer>; an answer may
name the other base as {http} or {https}, or be one of:
  !fail        HTTP 500 with an empty body
  !status:N:T  HTTP N with the body T
  !drip        one byte every 0.9 s, for ever
  !endless     a body that never ends, as fast as it goes
  !oversize    a declared length of 8 GiB, then silence
  !stall       headers, part of the body, then silence
  !hang        no answer at all
  !truncate    a body shorter than its Content-Length, then the connection closes
  !redirect:N  N redirects, then the usual answer
  !location:U  one redirect to U
  !long        2000 characters
"""

import argparse
import os
import ssl
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

OPERATIONS = {
    "createaccount.asp": "createaccount",
    "checksubexpiry.asp": "checksubexpiry",
    "packages.txt": "packages",
    "purchasesubtime.asp": "purchasesubtime",
    "purchasexmlpackSM.asp": "purchasexmlpack",
    "purchasexmlccSM.asp": "purchasexmlcc",
    "purchasexmlgiftSM.asp": "purchasexmlgift",
    "checksub.asp": "checksub",
    "getfilesub.aspx": "getfilesub",
    "downloadpreviewMP3.aspx": "preview",
    "songdb.aspx": "songdb",
    "getsummarypage.asp": "summary",
    "song.zip": "song",
}

ANSWERS = {
    "createaccount": "Account: ACC-1001\r\n",
    "checksubexpiry": "Subscription valid until 2027-12-31",
    "packages": "1 Day|$2.99||1 Month|$19.99",
    "purchasesubtime": "--:SUCCESS:--",
    "purchasexmlpack": "GIFTPACK, 25, GP-2500 thank you",
    "purchasexmlcc": "DOWNLOAD: {http}/files/song.zip\r\n",
    "purchasexmlgift": "DOWNLOAD, 24, {http}/files/song.zip\r\n",
    "checksub": "--:STREAM:--Streamed.mp3",
    "summary": "<html><body>Your downloads</body></html>",
}
# Operations whose body is a file given on the command line.
FILES = {"song": "song", "songdb": "catalogue", "preview": "audio"}

lock = threading.Lock()
bases = {}


def make_certificates(folder):
    """A CA and a server certificate signed by it, valid for two days."""
    def run(*args):
        subprocess.run(["openssl", *args], check=True, cwd=folder,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    curve = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run("req", "-x509", *curve, "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
        "-subj", "/CN=Lyricade Test CA",
        "-addext", "basicConstraints=critical,CA:TRUE",
        "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    run("req", *curve, "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1")
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                  "basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n")
    run("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
        "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "server.ext")


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    options = None

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.send_header("Connection", "close")
        self.end_headers()

    def do_GET(self):
        parts = urlsplit(self.path)
        query = parse_qs(parts.query)
        if parts.path == "/control/set":
            with lock:
                ANSWERS[query["key"][0]] = query.get("value", [""])[0]
            return self.send_body(200, b"ok")
        with open(os.path.join(self.options.folder, "requests.log"), "a") as log:
            log.write(self.path + "\n")

        name = parts.path.rsplit("/", 1)[-1]
        operation = OPERATIONS.get(name, "")
        if operation == "getfilesub":
            operation = "getfilesub1" if query.get("Type") == ["1"] else "getfilesub2"
        with lock:
            answer = ANSWERS.get(operation)

        hops = query.get("hops")
        left = None
        if hops:
            left = int(hops[0])
        elif answer and answer.startswith("!redirect:"):
            left = int(answer.split(":", 1)[1])
        if left is not None:
            if left > 0:
                rest = "&".join(p for p in parts.query.split("&") if p and not p.startswith("hops="))
                target = parts.path + ("?" + rest + "&" if rest else "?")
                return self.redirect(target + "hops=%d" % (left - 1))
            answer = DEFAULTS.get(operation)  # the chain ended: the usual answer

        if answer == "!fail":
            return self.send_body(500, b"")
        if answer and answer.startswith("!status:"):
            _, status, text = answer.split(":", 2)
            return self.send_body(int(status), text.encode())
        if answer == "!oversize":
            self.send_response(200)
            self.send_header("Content-Length", str(8 << 30))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"PK")
            self.wfile.flush()
            time.sleep(30)
            return None
        if answer in ("!drip", "!endless"):
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Connection", "close")
            self.end_headers()
            try:
                while True:
                    if answer == "!drip":
                        self.wfile.write(b"D")
                        self.wfile.flush()
                        time.sleep(0.9)
                    else:
                        self.wfile.write(b"E" * 65536)
            except OSError:
                pass
            return None
        if answer == "!hang":
            time.sleep(60)
            return None
        if answer and answer.startswith("!location:"):
            return self.redirect(answer.split(":", 1)[1])

        body = self.body_of(operation, answer)
        if body is None:
            return self.send_body(404, b"Not Found")
        if answer == "!long":
            body = b"L" * 2000
        if answer in ("!stall", "!truncate"):
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body) + 100000))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body[: max(1, len(body) // 2)])
            self.wfile.flush()
            if answer == "!stall":
                time.sleep(60)
            return None
        content_type = "application/octet-stream" if operation in FILES or \
            operation.startswith("getfilesub") else "text/plain"
        return self.send_body(200, body, content_type)

    def body_of(self, operation, answer):
        file_option = FILES.get(operation)
        if operation == "getfilesub1":
            file_option = "audio"
        elif operation == "getfilesub2":
            file_option = "graphics"
        if file_option:
            path = getattr(self.options, file_option)
            if answer and not answer.startswith("!"):
                return answer.encode()
            if not path or not os.path.exists(path):
                return None
            with open(path, "rb") as f:
                return f.read()
        if answer is None:
            return None
        if answer.startswith("!"):
            with lock:
                answer = DEFAULTS.get(operation, "")
        return answer.replace("{http}", bases["http"]).replace("{https}", bases["https"]).encode()


DEFAULTS = dict(ANSWERS)


def serve(server):
    server.serve_forever(poll_interval=0.1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--song")
    parser.add_argument("--catalogue")
    parser.add_argument("--audio")
    parser.add_argument("--graphics")
    options = parser.parse_args()
    Handler.options = options
    make_certificates(options.folder)

    plain = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    secure = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    plain.daemon_threads = secure.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(options.folder, "server.pem"),
                            os.path.join(options.folder, "server.key"))
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    bases["http"] = "http://127.0.0.1:%d" % plain.server_address[1]
    bases["https"] = "https://127.0.0.1:%d" % secure.server_address[1]

    for server in (plain, secure):
        threading.Thread(target=serve, args=(server,), daemon=True).start()
    ports = os.path.join(options.folder, "ports")
    with open(ports + ".tmp", "w") as f:
        f.write("%d %d\n" % (plain.server_address[1], secure.server_address[1]))
    os.rename(ports + ".tmp", ports)
    # Runs until the test ends it; also ends when the test's process is gone.
    parent = os.getppid()
    while os.getppid() == parent:
        time.sleep(0.5)
    return 0


if __name__ == "__main__":
    sys.exit(main())
