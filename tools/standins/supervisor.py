#!/usr/bin/env python3
"""Supervisor of the stand-in services: a small JSON control API on 127.0.0.1
through which tests create isolated instances of the speech, client-management
and login stand-ins, script faults and read request logs. See README.md.

    python3 tools/standins/supervisor.py --port-file FILE [--port N] [--keys DIR]

It makes a fresh CA, server certificate and envelope RSA key pair at start
(unless --keys names a folder holding them), writes its port into FILE, and
stops every instance on SIGTERM or SIGINT.
"""

import argparse
import faulthandler
import json
import os
import re
import shutil
import signal
import sys
import tempfile
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import faults  # noqa: E402
import keys  # noqa: E402
import processes  # noqa: E402
from instance import FIXED_PORTS, Instance, Run  # noqa: E402

DEV_KEYS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "dev-keys")
IDLE_SECONDS = 30 * 60  # instances a crashed test never released are stopped after this


class ControlError(Exception):
    def __init__(self, status, message):
        super().__init__(message)
        self.status = status


class Supervisor:
    def __init__(self, run):
        self.run = run
        self.instances = {}
        self.lock = threading.Lock()
        self.next_id = 1
        self.dev_run = None  # the run of the fixed instance, made when first asked for

    def create(self, instance_id=None, ports=None):
        with self.lock:
            if instance_id is None:
                instance_id = "i%d" % self.next_id
                self.next_id += 1
        try:
            instance = Instance(instance_id, self.run, ports)
        except OSError as error:
            raise ControlError(503, "cannot open the instance's ports: %s" % error)
        with self.lock:
            self.instances[instance_id] = instance
        return instance

    def create_fixed(self):
        """The instance that the program as built talks to: the fixed ports of
        its default settings and the committed development keys. One at a time
        on the machine; 503 while the ports are taken (another run holds them)."""
        with self.lock:
            if "fixed" in self.instances:
                raise ControlError(409, "the fixed instance exists already")
            if self.dev_run is None:
                self.dev_run = Run(keys.KeySet(DEV_KEYS))
            dev_run = self.dev_run
        try:
            instance = Instance("fixed", dev_run, FIXED_PORTS)
        except OSError as error:
            raise ControlError(503, "cannot open the fixed ports: %s" % error)
        with self.lock:
            self.instances["fixed"] = instance
        return instance

    def get(self, instance_id):
        with self.lock:
            instance = self.instances.get(instance_id)
        if instance is None:
            raise ControlError(404, "no instance %s" % instance_id)
        instance.touch()
        return instance

    def delete(self, instance_id):
        with self.lock:
            instance = self.instances.pop(instance_id, None)
        if instance is None:
            raise ControlError(404, "no instance %s" % instance_id)
        # Stop in the background: the caller need not wait for the servers' threads.
        threading.Thread(target=instance.stop, daemon=True).start()

    def reap_idle(self):
        now = time.monotonic()
        with self.lock:
            idle = [i for i, inst in self.instances.items()
                    if i != "fixed" and now - inst.last_used > IDLE_SECONDS]
            stopped = [self.instances.pop(i) for i in idle]
        for instance in stopped:
            instance.stop()

    def stop_all(self):
        with self.lock:
            stopped = list(self.instances.values())
            self.instances.clear()
        for instance in stopped:
            instance.stop()


class ControlHandler(BaseHTTPRequestHandler):
    server_version = "standin-supervisor/1"
    protocol_version = "HTTP/1.0"

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self._dispatch("GET")

    def do_POST(self):
        self._dispatch("POST")

    def do_DELETE(self):
        self._dispatch("DELETE")

    def _body_json(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length < 0 or length > 16 * 1024 * 1024:
            raise ControlError(400, "bad Content-Length")
        raw = self.rfile.read(length) if length else b""
        if not raw.strip():
            return {}
        try:
            return json.loads(raw.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            raise ControlError(400, "body is not JSON: %s" % error)

    def _dispatch(self, method):
        try:
            status, result = self._route(method)
        except ControlError as error:
            status, result = error.status, {"error": str(error)}
        except Exception as error:  # never let a bad control request end the supervisor
            status, result = 500, {"error": "internal error: %r" % error}
        body = json.dumps(result, ensure_ascii=False).encode("utf-8")
        try:
            self.send_response(status)
            self.send_header("Content-Type", "application/json; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except OSError:
            pass

    def _route(self, method):
        supervisor = self.server.supervisor
        path, _, query = self.path.partition("?")
        params = {k: v[0] for k, v in urllib.parse.parse_qs(query, keep_blank_values=True).items()}
        parts = [p for p in path.split("/") if p]
        if parts == ["health"] and method == "GET":
            with supervisor.lock:
                return 200, {"ok": True, "instances": len(supervisor.instances)}
        if parts == ["instances"] and method == "POST":
            body = self._body_json()
            if isinstance(body, dict) and body.get("fixed") is True:
                return 200, supervisor.create_fixed().describe()
            return 200, supervisor.create().describe()
        if parts == ["instances"] and method == "GET":
            with supervisor.lock:
                return 200, {"instances": sorted(supervisor.instances)}
        if len(parts) >= 2 and parts[0] == "instances":
            if len(parts) == 2 and method == "DELETE":
                supervisor.delete(parts[1])
                return 200, {"ok": True}
            instance = supervisor.get(parts[1])
            action = parts[2] if len(parts) == 3 else None
            if len(parts) == 2 and method == "GET":
                return 200, instance.describe()
            if action == "script" and method == "POST":
                body = self._body_json()
                if not isinstance(body, dict) or not isinstance(body.get("path"), str) \
                        or not body["path"].startswith("/"):
                    raise ControlError(400, "expected {\"path\": \"/...\", \"fault\": {...}}")
                fault = body.get("fault", {})
                error = faults.validate(fault)
                if error:
                    raise ControlError(400, error)
                instance.faults.add(re.sub(r"/+", "/", body["path"]), fault)
                return 200, {"ok": True}
            if action == "script" and method == "DELETE":
                instance.faults.clear()
                return 200, {"ok": True}
            if action == "requests" and method == "GET":
                return 200, instance.requests(params.get("path"))
            if action == "count" and method == "GET":
                if "path" not in params:
                    raise ControlError(400, "count needs ?path=")
                return 200, {"path": params["path"], "count": instance.count(params["path"])}
            if action == "counts" and method == "GET":
                return 200, instance.counts()
        raise ControlError(404, "no such control request: %s %s" % (method, path))


class ControlServer(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False
    request_queue_size = 128

    def __init__(self, port, supervisor):
        self.supervisor = supervisor
        self.allow_reuse_address = port != 0
        super().__init__(("127.0.0.1", port), ControlHandler)

    def handle_error(self, request, client_address):
        pass


def write_port_file(path, port):
    """Writes the port so that a reader never sees a partial file."""
    temporary = path + ".tmp"
    with open(temporary, "w") as f:
        f.write("%d\n" % port)
    os.replace(temporary, path)


def serve(control_port, port_file, key_folder, fixed_instance_ports=None):
    """Runs the supervisor until SIGTERM or SIGINT; returns the exit code."""
    work = tempfile.mkdtemp(prefix="quillora-standin-")
    try:
        if key_folder is None:
            key_folder = os.path.join(work, "keys")
            keys.generate(key_folder)
        supervisor = Supervisor(Run(keys.KeySet(key_folder)))
        if fixed_instance_ports:
            supervisor.create("fixed", fixed_instance_ports)
        server = ControlServer(control_port, supervisor)
        stop = threading.Event()
        signal.signal(signal.SIGTERM, lambda *_: stop.set())
        signal.signal(signal.SIGINT, lambda *_: stop.set())
        faulthandler.register(signal.SIGUSR1)  # thread dump on demand, for diagnosing a hang
        threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()
        port = server.server_address[1]
        if port_file:
            write_port_file(port_file, port)
        print("stand-in supervisor on http://127.0.0.1:%d" % port, flush=True)
        if fixed_instance_ports:
            for name, url in supervisor.get("fixed").urls().items():
                print("  %-16s %s" % (name, url), flush=True)
        # Short waits: a signal that the kernel hands to another thread only runs
        # its Python handler once the main thread wakes up.
        last_reap = time.monotonic()
        while not stop.wait(0.25):
            if time.monotonic() - last_reap > 30:
                supervisor.reap_idle()
                last_reap = time.monotonic()
        server.shutdown()
        server.server_close()
        processes.stop_all()
        supervisor.stop_all()
        return 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port-file", help="file that receives the control port")
    parser.add_argument("--port", type=int, default=0, help="control port (default: a free one)")
    parser.add_argument("--keys", help="folder with the key files (default: made fresh for this run)")
    args = parser.parse_args()
    return serve(args.port, args.port_file, args.keys)


if __name__ == "__main__":
    sys.exit(main())
