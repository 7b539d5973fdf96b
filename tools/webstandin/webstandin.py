#!/usr/bin/env python3
"""A local stand-in for the maker's web service, for tests and demonstrations.

Answers POST /php/check2.php (update check) and /php/feedback.php (feedback) on 127.0.0.1,
over plain HTTP and over TLS on the same port (the first byte of a connection tells which),
with a certificate made at start with the openssl command-line tool. Nothing but the Python
standard library and openssl is needed.

Everything goes through a state folder, so that tests in any language can drive it:

  port              the port, decimal text (written last, once the service answers)
  certificate.pem   the test certificate (for 127.0.0.1 and localhost) to trust
  pid               the service's process id
  behaviour.json    how to answer; read anew for every request (write it atomically)
  requests/NNNNNN/  one folder per request received, complete before the answer is sent:
                    scheme ("http" or "https"), method, path, content-type, headers (the raw
                    header lines as received) and body (the raw bytes)

behaviour.json:
  {"refuse": ["https"],          schemes whose connections are closed at once, unanswered
   "answers": {"check": ANSWER, "check.https": ANSWER, "feedback.http": ANSWER, ...}}
  "<endpoint>.<scheme>" wins over "<endpoint>"; endpoints are "check", "feedback" and "other"
  (any other path). ANSWER: {"status": 200, "body": "text", "encoding": "utf-8",
  "contentType": "text/html; charset=UTF-8", "delayMs": 0, "repeat": 1}; every key is
  optional ("repeat" sends the body that many times over, for answers too large to write out). A status
  of 404 without a body gives a web server's usual "Not Found" page. Without an answer the
  check offers --offer-version at --offer-url, feedback answers "OK", other paths get 404.

Commands:
  webstandin.py serve [--state-dir DIR] [--port N] [--offer-version V] [--offer-url URL]
                      [--stop-on-eof] [--quiet]  runs in the foreground
  webstandin.py start --state-dir DIR ... runs in the background once it answers
  webstandin.py stop --state-dir DIR      ends a service started with "start"
"""

import argparse
import http.server
import json
import os
import signal
import socket
import socketserver
import ssl
import subprocess
import sys
import tempfile
import threading
import time

NOT_FOUND_PAGE = (
    '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML 2.0//EN">\n'
    "<html><head>\n"
    "<title>404 Not Found</title>\n"
    "</head><body>\n"
    "<h1>Not Found</h1>\n"
    "<p>The requested URL was not found on this server.</p>\n"
    "</body></html>\n"
)

ENDPOINTS = {"/php/check2.php": "check", "/php/feedback.php": "feedback"}


def write_atomically(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as out:
        out.write(data)
    os.replace(temporary, path)


def make_certificate(state_dir):
    certificate = os.path.join(state_dir, "certificate.pem")
    key = os.path.join(state_dir, "key.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
         "-nodes", "-keyout", key, "-out", certificate, "-days", "7", "-subj", "/CN=127.0.0.1",
         "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    return certificate, key


class Service(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, state_dir, port, offer_version, offer_url):
        self.state_dir = state_dir
        self.offer_version = offer_version
        self.offer_url = offer_url
        self.record_lock = threading.Lock()
        self.record_count = 0
        certificate, key = make_certificate(state_dir)
        self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.tls.load_cert_chain(certificate, key)
        super().__init__(("127.0.0.1", port), Handler)

    def behaviour(self):
        try:
            with open(os.path.join(self.state_dir, "behaviour.json"), encoding="utf-8") as f:
                return json.load(f)
        except FileNotFoundError:
            return {}

    def finish_request(self, request, client_address):
        request.settimeout(30)
        try:
            first = request.recv(1, socket.MSG_PEEK)
        except OSError:
            return
        scheme = "https" if first == b"\x16" else "http"  # 0x16: a TLS handshake record
        if scheme in self.behaviour().get("refuse", []):
            return  # shutdown_request() closes the connection unanswered
        if scheme == "https":
            try:
                request = self.tls.wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError):
                return
        handler = Handler.__new__(Handler)
        handler.scheme = scheme
        try:
            Handler.__init__(handler, request, client_address, self)
        finally:
            if scheme == "https":
                try:
                    request.close()
                except OSError:
                    pass

    def record(self, handler, body):
        with self.record_lock:
            self.record_count += 1
            folder = os.path.join(self.state_dir, "requests")
            os.makedirs(folder, exist_ok=True)
            name = "%06d" % self.record_count
            temporary = os.path.join(folder, "." + name)
            os.makedirs(temporary)
            headers = "".join("%s: %s\n" % (k, v) for k, v in handler.headers.items())
            parts = {"scheme": handler.scheme, "method": handler.command,
                     "path": handler.path,
                     "content-type": handler.headers.get("Content-Type", ""),
                     "headers": headers}
            for part, text in parts.items():
                with open(os.path.join(temporary, part), "wb") as out:
                    out.write(text.encode("latin-1", "replace"))
            with open(os.path.join(temporary, "body"), "wb") as out:
                out.write(body)
            os.rename(temporary, os.path.join(folder, name))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "webstandin"

    def log_message(self, format, *args):
        if not self.server.quiet:
            sys.stderr.write("%s %s\n" % (self.scheme, format % args))

    def answer_for(self, endpoint):
        answers = self.server.behaviour().get("answers", {})
        answer = answers.get(endpoint + "." + self.scheme, answers.get(endpoint))
        if answer is not None:
            return answer
        if endpoint == "check":
            return {"body": "<version>%s</version>\n<url>%s</url>\n\n<result>1</result>\n"
                            % (self.server.offer_version, self.server.offer_url)}
        if endpoint == "feedback":
            return {"body": "OK"}
        return {"status": 404}

    def respond(self, endpoint, body):
        self.server.record(self, body)
        answer = self.answer_for(endpoint)
        time.sleep(answer.get("delayMs", 0) / 1000.0)
        status = answer.get("status", 200)
        text = answer.get("body", NOT_FOUND_PAGE if status == 404 else "")
        data = text.encode(answer.get("encoding", "utf-8"))
        repeat = answer.get("repeat", 1)
        try:
            self.send_response(status)
            self.send_header("Content-Type",
                             answer.get("contentType", "text/html; charset=UTF-8"))
            self.send_header("Content-Length", str(len(data) * repeat))
            self.send_header("Connection", "close")
            self.end_headers()
            chunk = max(1, (1 << 20) // max(1, len(data)))
            for sent in range(0, repeat, chunk):
                self.wfile.write(data * min(chunk, repeat - sent))
        except OSError:
            pass  # the client gave up waiting
        self.close_connection = True

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length > 0 else b""
        self.respond(ENDPOINTS.get(self.path.split("?")[0], "other"), body)

    def do_GET(self):
        self.respond(ENDPOINTS.get(self.path.split("?")[0], "other"), b"")


def serve(args):
    state_dir = args.state_dir or tempfile.mkdtemp(prefix="webstandin-")
    os.makedirs(state_dir, exist_ok=True)
    for stale in ("port", "pid"):
        try:
            os.remove(os.path.join(state_dir, stale))
        except FileNotFoundError:
            pass
    service = Service(state_dir, args.port, args.offer_version, "")
    service.quiet = args.quiet
    port = service.server_address[1]
    service.offer_url = args.offer_url or "http://127.0.0.1:%d/download/" % port
    write_atomically(os.path.join(state_dir, "pid"), str(os.getpid()).encode())
    write_atomically(os.path.join(state_dir, "port"), str(port).encode())
    print("Listening on 127.0.0.1:%d (http and https), state in %s" % (port, state_dir),
          flush=True)
    if args.stop_on_eof:
        def wait_for_eof():
            sys.stdin.buffer.read()
            os._exit(0)
        threading.Thread(target=wait_for_eof, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    service.serve_forever()


def start(args):
    port_file = os.path.join(args.state_dir, "port")
    os.makedirs(args.state_dir, exist_ok=True)
    try:
        os.remove(port_file)
    except FileNotFoundError:
        pass
    if os.fork() == 0:
        os.setsid()
        if os.fork() == 0:
            # Nothing of the caller's stays open, so that whoever started us is not kept waiting.
            log = os.open(os.path.join(args.state_dir, "log"),
                          os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            null = os.open(os.devnull, os.O_RDONLY)
            os.dup2(null, 0)
            os.dup2(log, 1)
            os.dup2(log, 2)
            try:
                serve(args)
            finally:
                os._exit(1)
        os._exit(0)
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            with open(port_file) as f:
                print("Listening on 127.0.0.1:%s, state in %s" % (f.read(), args.state_dir))
            return 0
        time.sleep(0.05)
    sys.stderr.write("the stand-in did not start; see %s/log\n" % args.state_dir)
    return 1


def stop(args):
    try:
        with open(os.path.join(args.state_dir, "pid")) as f:
            pid = int(f.read())
    except (FileNotFoundError, ValueError):
        return 0
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return 0
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return 0
        time.sleep(0.05)
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["serve", "start", "stop"])
    parser.add_argument("--state-dir", help="the state folder (serve: a new temporary one)")
    parser.add_argument("--port", type=int, default=0, help="the port (default: a free one)")
    parser.add_argument("--offer-version", default="9.9",
                        help="the version the update check offers (default 9.9)")
    parser.add_argument("--offer-url", help="the download address the update check offers")
    parser.add_argument("--quiet", action="store_true", help="log no requests")
    parser.add_argument("--stop-on-eof", action="store_true",
                        help="end when standard input closes (when the starter goes away)")
    args = parser.parse_args()
    if args.command != "serve" and not args.state_dir:
        parser.error("%s needs --state-dir" % args.command)
    if args.command == "serve":
        serve(args)
        return 0
    return start(args) if args.command == "start" else stop(args)


if __name__ == "__main__":
    sys.exit(main())
