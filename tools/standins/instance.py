"""One isolated set of stand-in servers: its own state, request log, counters
and scripted faults, and five listening sockets (speech HTTP and HTTPS,
management HTTPS and HTTP, login HTTP)."""

import os
import threading
import time

from catalogue import Catalogue
from faults import FaultBook
from httpserver import ServiceServer, make_tls_context
from management import LoginService, ManagementService
from recognise import AudioMemory
from speech import SpeechService



def read_fixed_ports(path=os.path.join(os.path.dirname(os.path.abspath(__file__)), "ports.env")):
    """The NAME=number lines of ports.env, the one place the fixed ports are written."""
    ports = {}
    with open(path, encoding="ascii") as lines:
        for line in lines:
            line = line.strip()
            if line and not line.startswith("#"):
                name, _, value = line.partition("=")
                ports[name.strip()] = int(value)
    return ports


_PORTS = read_fixed_ports()
# Fixed ports of the hand-run mode; the build's defaults point at these.
FIXED_PORTS = {"speech_http": _PORTS["STANDIN_SPEECH_HTTP_PORT"], "speech_https": _PORTS["STANDIN_SPEECH_HTTPS_PORT"],
               "management_https": _PORTS["STANDIN_MANAGEMENT_HTTPS_PORT"],
               "management_http": _PORTS["STANDIN_MANAGEMENT_HTTP_PORT"], "login": _PORTS["STANDIN_LOGIN_PORT"]}
CONTROL_PORT = _PORTS["STANDIN_CONTROL_PORT"]


class Run:
    """What every instance of one supervisor shares: keys, TLS, catalogue, and the
    texts of the audio the stand-in synthesised."""

    def __init__(self, keys):
        self.keys = keys
        self.tls = make_tls_context(keys.paths["cert"], keys.paths["cert_key"])
        self.catalogue = Catalogue()
        self.memory = AudioMemory()


class Instance:
    def __init__(self, instance_id, run, ports=None):
        ports = ports or {}
        self.id = instance_id
        self.run = run
        self.faults = FaultBook()
        self.last_used = time.monotonic()
        self._log = []
        self._counts = {}
        self._lock = threading.Lock()
        speech = SpeechService(self, run)
        management = ManagementService(self, run)
        login = LoginService(self, run)
        layout = [
            ("speech_http", "speech-http", speech, None),
            ("speech_https", "speech-https", speech, run.tls),
            ("management_https", "management-https", management, run.tls),
            ("management_http", "management-http", management, None),
            ("login", "login", login, None),
        ]
        self.servers = {}
        try:
            for key, kind, service, tls in layout:
                self.servers[key] = ServiceServer(ports.get(key, 0), kind, self, service, tls)
        except OSError:
            for server in self.servers.values():
                server.server_close()
            raise
        for server in self.servers.values():
            server.start()

    def urls(self):
        s = self.servers
        return {
            "speechHttp": s["speech_http"].base_url,
            "speechHttps": s["speech_https"].base_url,
            "managementHttps": s["management_https"].base_url + "/",
            "managementHttp": s["management_http"].base_url + "/",
            "login": s["login"].base_url + "/",
        }

    def ports(self):
        return {key: server.port for key, server in self.servers.items()}

    def describe(self):
        return {"id": self.id, "urls": self.urls(), "ports": self.ports(),
                "caPem": self.run.keys.ca_pem, "rsaPublicPem": self.run.keys.rsa_public_pem}

    def record(self, entry):
        """Adds a request to the log and the counters; returns the stored entry."""
        with self._lock:
            self.last_used = time.monotonic()
            entry["seq"] = len(self._log) + 1
            entry["time"] = time.time()
            self._log.append(entry)
            self._counts[entry["path"]] = self._counts.get(entry["path"], 0) + 1
        return entry

    def touch(self):
        self.last_used = time.monotonic()

    def requests(self, path=None):
        with self._lock:
            return [dict(e) for e in self._log if path is None or e["path"] == path]

    def count(self, path):
        with self._lock:
            return self._counts.get(path, 0)

    def counts(self):
        with self._lock:
            return dict(self._counts)

    def stop(self):
        threads = [threading.Thread(target=server.stop) for server in self.servers.values()]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
