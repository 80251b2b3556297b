"""Client-management stand-in: the envelope round trip in both directions, with
the RSA block made and checked by the openssl command-line tool (apart from the
stand-in's own RSA code), the requests, the envelope faults and the login pages."""

import base64
import html
import http.client
import json
import os
import re
import struct
import subprocess
import tempfile
import unittest
import urllib.parse
import zlib

from standin_harness import StandinTestCase, escape


def swap_not(data):
    return bytes(0xFF ^ (((b & 0x0F) << 4) | (b >> 4)) for b in data)


class Client:
    """The client side of the envelope, as a test encoder and decoder."""

    def __init__(self, instance, key_file):
        self.instance = instance
        self.key_file = key_file

    def openssl(self, operation, data):
        return subprocess.run(["openssl", "pkeyutl", operation, "-pubin", "-inkey", self.key_file],
                              input=data, capture_output=True, check=True).stdout

    def request_url(self, flags, text, nonce, base=None):
        path, _, query = text.partition("?")
        if nonce is not None:  # None: a request without the nonce the client appends
            query = (query + "&" if query else "") + "nonce=" + nonce
        plain = query.encode()
        crc = struct.pack("<I", zlib.crc32(plain))
        header = struct.pack("<I", flags)
        if flags & 4:
            header += self.openssl("-encrypt", crc)
        elif flags & 2:
            header += crc
        body = swap_not(plain) if flags & 1 else plain
        v = escape(base64.b64encode(header + body).decode())
        # The client joins a base URL ending in "/" with a path starting with "/".
        return (base or self.instance.urls["managementHttps"]) + path + "?v_=" + v

    def decode(self, reply, nonce):
        """(flags, reply text) of an enveloped reply; raises AssertionError when it is not valid."""
        payload = base64.b64decode(reply, validate=True)
        flags = struct.unpack_from("<I", payload)[0]
        expected = None
        if flags & 4:
            expected = self.openssl("-verifyrecover", payload[4:132])
            body = payload[132:]
        elif flags & 2:
            expected, body = payload[4:8], payload[8:]
        else:
            body = payload[4:]
        assert b"\x00" not in body
        if flags & 1:
            body = swap_not(body)
        if expected is not None:
            assert expected == struct.pack("<I", zlib.crc32(body)), "CRC mismatch"
        tail = body[body.rindex(b"{"):]
        assert tail == ('{"nonce":"%s"}' % nonce).encode(), tail
        return flags, body[:-len(tail)].decode("utf-8")

    def call(self, flags, text, nonce="1234567890", base=None):
        status, reply = self.instance.fetch(self.request_url(flags, text, nonce, base))
        assert status == 200, status
        return self.decode(reply, nonce)


class ManagementTest(StandinTestCase):
    def setUp(self):
        super().setUp()
        self.folder = tempfile.TemporaryDirectory()
        key_file = os.path.join(self.folder.name, "public.pem")
        with open(key_file, "w") as f:
            f.write(self.instance.rsa_public_pem)
        self.client = Client(self.instance, key_file)

    def tearDown(self):
        super().tearDown()
        self.folder.cleanup()

    def test_envelope_round_trips_with_every_flag_combination(self):
        for flags in (7, 5, 3, 1, 0, 6):
            with self.subTest(flags=flags):
                reply_flags, text = self.client.call(flags, "/client/getinitparams?softid=130", "98765%d" % flags)
                self.assertEqual(reply_flags, flags)
                reply = json.loads(text)
                self.assertEqual(reply["status"], "SUCCESS")
                self.assertRegex(reply["initparams"]["curdate"], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")
        entry = self.instance.requests("/client/getinitparams")[0]
        self.assertEqual(entry["raw_path"], "//client/getinitparams")
        self.assertEqual(entry["envelope"], {"flags": 7, "query": "softid=130&nonce=987657", "nonce": "987657"})
        self.assertEqual(entry["params"]["softid"], "130")
        _, text = self.client.call(7, "/client/getinitparams?softid=130", base=self.instance.urls["managementHttp"])
        self.assertEqual(json.loads(text)["status"], "SUCCESS")

    def test_version_check_offers_an_updater_with_its_crc(self):
        _, text = self.client.call(7, "/client/queryversion?softid=130&version=104&type=1")
        reply = json.loads(text)
        self.assertEqual(reply["version"], 104)
        entry = reply["files"][0]
        self.assertEqual(entry["name"], "Updrift.exe")
        url = reply["baseurl"][:-1] + entry["url"] if reply["baseurl"].endswith("/") else reply["baseurl"] + entry["url"]
        status, updater = self.instance.fetch(url)
        self.assertEqual(status, 200)
        self.assertEqual(int(entry["crc32"], 16), zlib.crc32(updater))
        self.instance.script("/client/queryversion", {"members": {"version": 105}})
        self.assertEqual(json.loads(self.client.call(7, "/client/queryversion?softid=130&version=104&type=1")[1])["version"], 105)

    def test_usage_report_is_recorded(self):
        text = "/client/reportlog?&openid=&uuid=AbCd-_0123456789&softid=130&version=104&type=6&channelId=7&detail=0"
        flags, reply = self.client.call(1, text, "55")
        self.assertEqual((flags, json.loads(reply)["status"]), (1, "SUCCESS"))
        params = self.instance.requests("/client/reportlog")[0]["params"]
        self.assertEqual((params["uuid"], params["channelId"], params["detail"], params["openid"]),
                         ("AbCd-_0123456789", "7", "0", ""))

    def test_requests_that_do_not_decode_get_a_plain_failure(self):
        good = self.client.request_url(7, "/client/getinitparams?softid=130", "1")
        v = good.partition("?v_=")[2]
        payload = bytearray(base64.b64decode(v.replace("%2B", "+").replace("%3D", "=").replace("%2F", "/")))
        payload[-1] ^= 0x01
        tampered = good.partition("?v_=")[0] + "?v_=" + escape(base64.b64encode(bytes(payload)).decode())
        payload[10] ^= 0x01
        broken_rsa = good.partition("?v_=")[0] + "?v_=" + escape(base64.b64encode(bytes(payload)).decode())
        base = self.instance.urls["managementHttps"]
        padded = self.client.request_url(0, "/client/getinitparams?softid=130", "1")  # 22 bytes: "=="
        self.assertIn("%3D%3D", padded)
        cases = [tampered, broken_rsa, base + "client/getinitparams?v_=%%%%", base + "client/getinitparams",
                 padded.replace("%3D", "="),
                 self.client.request_url(7, "/client/getinitparams?softid=130", None),
                 self.client.request_url(7, "/client/getinitparams?nonce=5&softid=130", None),
                 self.client.request_url(7, "/client/getinitparams?softid=130", "")]
        if "%2B" in good:  # an unescaped "+" reads as a space
            cases.append(good.replace("%2B", "+"))
        for url in cases:
            with self.subTest(url=url[:80]):
                status, body = self.instance.fetch(url)
                self.assertEqual(status, 200)
                # The client's failure marker, exactly.
                self.assertIn(b'"status":"FAILED"', body)
        self.assertEqual(json.loads(self.client.call(0, "/client/getinitparams?softid=130", "1")[1])["status"],
                         "SUCCESS")

    def test_envelope_faults(self):
        path = "/client/getinitparams"
        text = path + "?softid=130"
        self.instance.script(path, {"envelope_flags": 0})
        self.assertEqual(self.client.call(7, text)[0], 0)
        self.instance.script(path, {"nonce": "42"})
        with self.assertRaises(AssertionError):
            self.client.call(7, text, "43")
        self.instance.script(path, {"plain_failed": True})
        status, body = self.instance.fetch(self.client.request_url(7, text, "1"))
        self.assertEqual(json.loads(body)["status"], "FAILED")
        self.assertIn(b'"status":"FAILED"', body)
        for flags, bad in ((7, True), (3, True), (7, "garbage")):
            with self.subTest(flags=flags, bad_signature=bad):
                self.instance.script(path, {"bad_signature": bad})
                with self.assertRaises((AssertionError, subprocess.CalledProcessError)):
                    self.client.call(flags, text)
        self.instance.script(path, {"members": {"status": "FAILED"}})
        self.assertIn('"status":"FAILED"', self.client.call(7, text)[1])
        self.assertEqual(json.loads(self.client.call(7, text)[1])["status"], "SUCCESS")

    def test_login_pages_end_with_the_enveloped_account(self):
        status, jump = self.instance.fetch(self.instance.urls["managementHttps"] + "wxlogin/jump")
        self.assertEqual(status, 200)
        login = self.instance.urls["login"]
        status, page = self.instance.fetch(login + "member/login/index?softId=130&uuid=AbCd-_0123456789&usedtimes=3&mid=1")
        self.assertEqual(status, 200)
        # The sign-in link carries the login page's parameters to the callback page.
        link = html.unescape(re.search(rb'<a href="(/wxlogincb[^"]*)"', page).group(1).decode())
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(link).query)
        self.assertEqual(query, {"softId": ["130"], "uuid": ["AbCd-_0123456789"], "usedtimes": ["3"], "mid": ["1"]})
        status, result = self.instance.fetch(login + link.lstrip("/"))
        self.assertEqual(status, 200)
        info = json.loads(re.search(rb"var info = (\"[^\"]*\");", result).group(1))
        flags, text = self.client.decode(info, "")
        account = json.loads(text)
        self.assertEqual(flags, 7)
        self.assertEqual(account["status"], "SUCCESS")
        self.assertEqual(account["uuid"], "AbCd-_0123456789")
        self.assertTrue(account["openid"] and account["nickname"] and account["avatar"])
        self.assertEqual(self.instance.fetch(account["avatar"])[0], 200)

    def test_login_page_frame_is_served(self):
        login = self.instance.urls["login"]
        status, page = self.instance.fetch(login + "member/login/index?softId=130&uuid=AbCd-_0123456789&usedtimes=3&mid=1")
        self.assertEqual(status, 200)
        frame = html.unescape(re.search(rb'<iframe src="([^"]+)"', page).group(1).decode())
        status, body = self.instance.fetch(login + frame.lstrip("/"))
        self.assertEqual(status, 200)
        self.assertIn("扫码", body.decode("utf-8"))

    def test_scripted_redirects_send_the_login_page_on_once(self):
        login = self.instance.urls["login"]
        page = "/member/login/index?softId=130&uuid=RedirectUuid0001&usedtimes=0&mid=1"
        callback = "/wxlogincb?uuid=RedirectUuid0001"
        cases = [
            ({"redirect": callback}, 302, callback),
            ({"redirect": login + callback.lstrip("/"), "http_status": 307}, 307, login + callback.lstrip("/")),
            # A header carries ASCII only: other characters arrive percent-encoded as UTF-8.
            ({"redirect": "/wxlogincb?uuid=测试"}, 302, "/wxlogincb?uuid=%E6%B5%8B%E8%AF%95"),
        ]
        parts = urllib.parse.urlsplit(login)
        for fault, status, location in cases:
            with self.subTest(fault=fault):
                self.instance.script("/member/login/index", fault)
                connection = http.client.HTTPConnection(parts.hostname, parts.port, timeout=30)
                connection.request("GET", page)
                response = connection.getresponse()
                response.read()
                connection.close()
                self.assertEqual((response.status, response.getheader("Location")), (status, location))
                # Once only: the next request gets the login page itself.
                status_again, body = self.instance.fetch(login + page.lstrip("/"))
                self.assertEqual(status_again, 200)
                self.assertIn(b"/wxlogincb?", body)
        status, result = self.instance.fetch(login + callback.lstrip("/"))
        info = json.loads(re.search(rb"var info = (\"[^\"]*\");", result).group(1))
        self.assertEqual(json.loads(self.client.decode(info, "")[1])["uuid"], "RedirectUuid0001")


if __name__ == "__main__":
    unittest.main()
