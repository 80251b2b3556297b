"""Test helpers for the stand-in services: starts a supervisor of its own, makes
instances, and speaks HTTP and HTTPS to them (HTTPS verified with the run's CA).
The encoders here are written for the tests, apart from the stand-ins' code."""

import base64
import hashlib
import http.client
import json
import os
import signal
import ssl
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SUPERVISOR = os.path.join(ROOT, "tools", "standins", "supervisor.py")
SALT = "4185062"


class Supervisor:
    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="standin-test-")
        port_file = os.path.join(self.folder, "port")
        self.process = subprocess.Popen([sys.executable, SUPERVISOR, "--port-file", port_file],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        for _ in range(300):
            if os.path.exists(port_file):
                break
            if self.process.poll() is not None:
                raise RuntimeError("supervisor ended: %s" % self.process.stderr.read().decode())
            time.sleep(0.05)
        with open(port_file) as f:
            self.port = int(f.read())

    def control(self, method, path, body=None):
        """(HTTP status, parsed JSON reply) of one control request."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=60)
        data = body if isinstance(body, (bytes, type(None))) else json.dumps(body).encode()
        connection.request(method, path, body=data)
        response = connection.getresponse()
        raw = response.read()
        connection.close()
        return response.status, json.loads(raw.decode("utf-8"))

    def instance(self):
        status, made = self.control("POST", "/instances", {})
        assert status == 200, made
        return Instance(self, made)

    def stop(self):
        """Stops the supervisor; returns its exit code."""
        self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.send_signal(signal.SIGUSR1)  # the supervisor dumps its threads
            time.sleep(1)
            self.process.kill()
            self.process.wait()
            raise AssertionError("supervisor did not stop:\n" + self.process.stderr.read().decode()[-8000:])
        finally:
            self.process.stderr.close()


class StandinTestCase(unittest.TestCase):
    """A supervisor of its own per test class (which must stop cleanly) and a
    fresh instance per test."""

    @classmethod
    def setUpClass(cls):
        cls.supervisor = Supervisor()

    @classmethod
    def tearDownClass(cls):
        assert cls.supervisor.stop() == 0

    def setUp(self):
        self.instance = self.supervisor.instance()

    def tearDown(self):
        self.instance.close()


class Instance:
    def __init__(self, supervisor, made):
        self.supervisor = supervisor
        self.id = made["id"]
        self.urls = made["urls"]
        self.ca_pem = made["caPem"]
        self.rsa_public_pem = made["rsaPublicPem"]
        self.tls = ssl.create_default_context(cadata=self.ca_pem)

    def close(self):
        self.supervisor.control("DELETE", "/instances/" + self.id)

    def script(self, path, fault):
        status, reply = self.supervisor.control("POST", "/instances/%s/script" % self.id,
                                                {"path": path, "fault": fault})
        assert status == 200, reply

    def requests(self, path=None):
        query = "?path=" + urllib.parse.quote(path) if path else ""
        return self.supervisor.control("GET", "/instances/%s/requests%s" % (self.id, query))[1]

    def count(self, path):
        return self.supervisor.control("GET", "/instances/%s/count?path=%s" % (self.id, urllib.parse.quote(path)))[1]["count"]

    def fetch(self, url, body=None, headers=None, timeout=120):
        """(HTTP status, body bytes) of a GET (body None) or POST to a whole URL."""
        parts = urllib.parse.urlsplit(url)
        if parts.scheme == "https":
            connection = http.client.HTTPSConnection(parts.hostname, parts.port, context=self.tls, timeout=timeout)
        else:
            connection = http.client.HTTPConnection(parts.hostname, parts.port, timeout=timeout)
        target = parts.path + ("?" + parts.query if parts.query else "")
        headers = dict(headers or {})
        if body is not None:
            headers.setdefault("Content-Type", "application/x-www-form-urlencoded")
        connection.request("GET" if body is None else "POST", target, body=body, headers=headers)
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response.status, data

    def speech(self, path, body=None, https=True, **kw):
        return self.fetch(self.urls["speechHttps" if https else "speechHttp"] + path, body, **kw)

    def speech_json(self, path, body=None, https=True, headers=None):
        status, data = self.speech(path, body, https, headers=headers)
        assert status == 200, (status, data[:200])
        # Catalogue texts are code page 936; recognised text is UTF-8.
        return json.loads(data.decode("gbk" if path.startswith("/colud/tts/voice") else "utf-8"))


def escape(b64):
    return b64.replace("+", "%2B").replace("=", "%3D").replace("/", "%2F")


def sign(text):
    return hashlib.md5((text + SALT).encode("latin-1")).hexdigest()


def ansi(text):
    """Code page 936 bytes of a text: GBK, with the euro sign as the byte 0x80."""
    return b"\x80".join(part.encode("gbk") for part in text.split("\u20ac"))


def synthesis_form(ssml, voice=100510000, volume=4, speed=4, emotion="neutral", codec="mp3"):
    text = escape(base64.b64encode(ansi(ssml)).decode("ascii"))
    return ("text=%s&volume=%d&speed=%d&voiceType=%d&emotion=%s&codec=%s&sign=%s"
            % (text, volume, speed, voice, emotion, codec, sign(text))).encode("latin-1")


def multipart(fields, file_name, file_bytes):
    """A multipart/form-data body with a "file" part first, then the text fields."""
    boundary = "----standin-test-boundary-7d93"
    chunks = [("--%s\r\nContent-Disposition: form-data; name=\"file\"; filename=\"%s\"\r\n"
               "Content-Type: application/octet-stream\r\n\r\n" % (boundary, file_name)).encode() + file_bytes + b"\r\n"]
    for name, value in fields:
        chunks.append(("--%s\r\nContent-Disposition: form-data; name=\"%s\"\r\n\r\n%s\r\n"
                       % (boundary, name, value)).encode())
    chunks.append(("--%s--\r\n" % boundary).encode())
    return b"".join(chunks), {"Content-Type": "multipart/form-data; boundary=" + boundary}


def duration_of(audio, codec):
    """Seconds of audio in one of the synthesis codecs (pcm: 16 kHz mono 16-bit)."""
    if codec == "pcm":
        return len(audio) / 32000.0
    with tempfile.NamedTemporaryFile(suffix="." + codec) as f:
        f.write(audio)
        f.flush()
        out = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration:stream=sample_rate,channels",
                              "-of", "json", f.name], capture_output=True, check=True).stdout
    info = json.loads(out)
    stream = info["streams"][0]
    assert int(stream["sample_rate"]) == 16000 and stream["channels"] == 1, stream
    return float(info["format"]["duration"])
