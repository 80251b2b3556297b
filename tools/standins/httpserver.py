"""Threaded HTTP and HTTPS servers of one stand-in instance, and the request
handler they share: it reads the request, lets the service describe it for the
log, applies a scripted fault, and sends the service's reply."""

import html
import json
import re
import socket
import ssl
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from wire import ansi_encode

MAX_BODY = 256 * 1024 * 1024
SOCKET_TIMEOUT = 120


class Reply:
    def __init__(self, status=200, body=b"", content_type="application/json", headers=None):
        self.status = status
        self.body = body
        self.content_type = content_type
        self.headers = headers or {}


def redirect_reply(location, status=302):
    """A redirect to a URL (absolute, or relative to the server asked), with a
    page that links there for clients that do not follow redirects."""
    # A header carries ASCII only: other characters go percent-encoded as UTF-8.
    location = urllib.parse.quote(location, safe=":/?#[]@!$&'()*+,;=%")
    body = ('<!DOCTYPE html><html><body><a href="%s">%s</a></body></html>'
            % (html.escape(location, quote=True), html.escape(location))).encode("utf-8")
    return Reply(status, body, "text/html; charset=utf-8", {"Location": location})


def json_reply(obj, ansi=False, status=200):
    """A JSON reply whose non-ASCII text is written as raw UTF-8 bytes, or as raw
    code page 936 bytes when ansi is set."""
    text = json.dumps(obj, ensure_ascii=False)
    return Reply(status, ansi_encode(text) if ansi else text.encode("utf-8"))


class Request:
    """One received request, as the services see it."""

    def __init__(self, handler, body):
        server = handler.server
        # The request line as sent: the standard handler folds a leading "//" of
        # handler.path, which the log is meant to show.
        words = handler.requestline.split(" ")
        target = words[1] if len(words) == 3 else handler.path
        raw_path, _, query = target.partition("?")
        self.method = handler.command
        self.raw_path = raw_path
        # The management client joins a base URL ending in "/" with paths starting
        # with "/": accept any run of slashes as one.
        self.path = re.sub(r"/+", "/", raw_path)
        self.query = query.encode("latin-1")
        self.headers = handler.headers
        self.body = body
        self.server_kind = server.kind
        self.base_url = server.base_url
        self.log = {
            "server": server.kind,
            "method": self.method,
            "path": self.path,
            "raw_path": raw_path,
            "query": query,
        }
        self.extra_haystack = ""

    def haystack(self):
        return "%s\n%s\n%s" % (self.query.decode("latin-1"), self.body.decode("latin-1"), self.extra_haystack)


class ServiceHandler(BaseHTTPRequestHandler):
    server_version = "standin/1"
    protocol_version = "HTTP/1.0"

    def log_message(self, format, *args):  # the instance keeps its own log
        pass

    def do_GET(self):
        self._serve()

    def do_POST(self):
        self._serve()

    def do_PUT(self):
        self._serve()

    def do_DELETE(self):
        self._serve()

    def _read_body(self):
        if self.headers.get("Transfer-Encoding", "").lower() == "chunked":
            data = bytearray()
            while True:
                size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
                if size < 0:
                    raise ValueError("negative chunk size")
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return bytes(data)
                data += self.rfile.read(size)
                self.rfile.readline()
                if len(data) > MAX_BODY:
                    raise ValueError("body too large")
        length = int(self.headers.get("Content-Length") or 0)
        if length < 0 or length > MAX_BODY:
            raise ValueError("bad Content-Length")
        return self.rfile.read(length)

    def _serve(self):
        instance = self.server.instance
        service = self.server.service
        try:
            body = self._read_body()
        except (ValueError, OSError):
            self._send(Reply(400, b"bad request body", "text/plain"))
            return
        request = Request(self, body)
        try:
            service.inspect(request)
        except Exception as error:  # a malformed request must not kill the server thread
            request.log["inspect_error"] = repr(error)
        fault = instance.faults.take(request.path, request.haystack())
        if fault:
            request.log["fault"] = fault
        entry = instance.record(request.log)
        if fault and fault.get("delay_ms"):
            time.sleep(fault["delay_ms"] / 1000.0)
        if fault and fault.get("drop"):
            entry["status"] = "dropped"
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return
        if fault and "redirect" in fault:
            reply = redirect_reply(fault["redirect"], fault.get("http_status", 302))
        elif fault and ("body" in fault or "http_status" in fault):
            status = fault.get("http_status", 200)
            text = fault.get("body", "Internal Server Error" if status >= 500 else "scripted reply")
            reply = Reply(status, text.encode("utf-8"), "text/plain; charset=utf-8")
        else:
            try:
                reply = service.reply(request, fault)
            except Exception as error:
                request.log["service_error"] = repr(error)
                reply = Reply(500, b"stand-in error: " + repr(error).encode(), "text/plain")
        entry["status"] = reply.status
        self._send(reply)

    def _send(self, reply):
        try:
            self.send_response(reply.status)
            self.send_header("Content-Type", reply.content_type)
            self.send_header("Content-Length", str(len(reply.body)))
            for name, value in reply.headers.items():
                self.send_header(name, value)
            self.send_header("Connection", "close")
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(reply.body)
        except OSError:
            pass


class ServiceServer(ThreadingHTTPServer):
    """One listening socket of an instance; TLS is set up in the request's own
    thread so that a client that never finishes its handshake blocks nothing."""

    daemon_threads = True
    block_on_close = False
    request_queue_size = 64

    def __init__(self, port, kind, instance, service, tls_context=None):
        self.kind = kind
        self.instance = instance
        self.service = service
        self.tls_context = tls_context
        self.allow_reuse_address = port != 0
        super().__init__(("127.0.0.1", port), ServiceHandler)
        self.port = self.server_address[1]
        self.base_url = "%s://127.0.0.1:%d" % ("https" if tls_context else "http", self.port)
        self._thread = None

    def finish_request(self, request, client_address):
        request.settimeout(SOCKET_TIMEOUT)
        if self.tls_context is None:
            super().finish_request(request, client_address)
            return
        try:
            tls = self.tls_context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return
        try:
            super().finish_request(tls, client_address)
        finally:
            try:
                tls.close()
            except OSError:
                pass

    def handle_error(self, request, client_address):
        pass  # a client that vanished mid-request is not an error of the stand-in

    def start(self):
        self._thread = threading.Thread(target=self.serve_forever, kwargs={"poll_interval": 0.2},
                                        name="standin-%s-%d" % (self.kind, self.port), daemon=True)
        self._thread.start()

    def stop(self):
        self.shutdown()
        self.server_close()


def make_tls_context(cert_path, key_path):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert_path, key_path)
    return context
