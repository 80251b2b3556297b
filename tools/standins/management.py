"""The client-management service stand-in (enveloped /client/... requests, the
updater download, the login jump page) and the login service's pages."""

import base64
import datetime
import html
import json
import urllib.parse

import envelope
from faults import apply_to_object
from httpserver import Reply
from wire import Form, crc32

UPDATER_NAME = "Updrift.exe"
UPDATER_PATH = "/updates/" + UPDATER_NAME
# The updater the stand-in hands out: recognisable bytes, not a program.
UPDATER_BYTES = b"MZ" + b"Quillora stand-in updater placeholder.\r\n" * 64

TEST_ACCOUNT = {
    "openid": "standin-openid-0001",
    "nickname": "测试用户",
}
AVATAR_PATH = "/avatar/tester.png"
# A 1x1 PNG for the test account's avatar.
AVATAR_PNG = base64.b64decode(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkaPhfDwAE/QH/9V3XgQAAAABJRU5ErkJggg==")
# Parameters of the login page that its sign-in link passes on to the callback page.
LOGIN_PARAMETERS = ("softId", "uuid", "usedtimes", "mid")
FAILED_BODY = b'{"status":"FAILED","msg":"scripted failure"}'


def compact_json(obj):
    """JSON without blanks, as the service writes it: the client recognises a
    failure by the exact text "status":"FAILED"."""
    return json.dumps(obj, ensure_ascii=False, separators=(",", ":")).encode("utf-8")


def _page(title, body):
    return ("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%s</title></head><body>%s</body></html>"
            % (html.escape(title), body)).encode("utf-8")


def _html(body):
    return Reply(200, body, "text/html; charset=utf-8")


def envelope_reply(obj, flags, nonce, rsa, fault):
    """The enveloped text of a reply object with the scripted faults applied."""
    fault = fault or {}
    obj = apply_to_object(fault, obj)
    if fault.get("plain_failed"):
        return FAILED_BODY
    bad = fault.get("bad_signature")
    bad = "crc" if bad is True else (bad or None)
    return envelope.encode_reply(fault.get("envelope_flags", flags), compact_json(obj), fault.get("nonce", nonce), rsa,
                                 bad)


class ManagementService:
    def __init__(self, instance, run):
        self.instance = instance
        self.run = run

    def inspect(self, request):
        request.envelope = None
        request.envelope_error = None
        if not request.path.startswith("/client/"):
            return
        query = Form(request.query)
        v = query.values.get("v_")
        if v is None:
            request.envelope_error = "no v_ parameter"
        elif any(c in query.raw_values["v_"] for c in b"+=/"):
            request.envelope_error = 'v_ holds "+", "=" or "/" not written as %2B, %3D, %2F'
        else:
            try:
                request.envelope = envelope.decode_request(v, self.run.keys.rsa)
            except envelope.EnvelopeError as error:
                request.envelope_error = str(error)
        if request.envelope is not None:
            request.log["envelope"] = request.envelope.for_log()
            request.log["params"] = request.envelope.params()
            request.extra_haystack = request.envelope.query.decode("utf-8", "replace")
        else:
            request.log["envelope_error"] = request.envelope_error

    def reply(self, request, fault):
        path = request.path
        if path == UPDATER_PATH:
            return Reply(200, UPDATER_BYTES, "application/octet-stream")
        if path == "/wxlogin/jump":
            return _html(_page("登录", "<p>正在打开登录页面……</p>"))
        handlers = {
            "/client/getinitparams": self._init_params,
            "/client/queryversion": self._query_version,
            "/client/reportlog": self._report_log,
        }
        if path not in handlers:
            return Reply(404, b"no such path", "text/plain")
        if request.envelope is None:
            body = compact_json({"status": "FAILED", "msg": "bad envelope: %s" % request.envelope_error})
            return Reply(200, body, "text/plain")
        obj = handlers[path](request, request.envelope.params())
        return Reply(200, envelope_reply(obj, request.envelope.flags, request.envelope.nonce,
                                         self.run.keys.rsa, fault), "text/plain")

    def _init_params(self, request, params):
        now = datetime.datetime.now().strftime("%Y-%m-%d %H:%M:%S")
        return {"status": "SUCCESS", "initparams": {"curdate": now, "softid": params.get("softid", "")}}

    def _query_version(self, request, params):
        # By default the service offers the version the client already has, so a
        # program started by hand is not told to update; tests script a newer one.
        try:
            version = int(params.get("version", "0"))
        except ValueError:
            version = 0
        return {"status": "SUCCESS", "version": version, "baseurl": request.base_url + "/",
                "files": [{"name": UPDATER_NAME, "url": UPDATER_PATH, "crc32": "%08x" % crc32(UPDATER_BYTES)}]}

    def _report_log(self, request, params):
        return {"status": "SUCCESS"}


class LoginService:
    """Pages a browser walks through: the login page, then the callback page
    ("wxlogincb") whose script variable "info" holds the enveloped account."""

    def __init__(self, instance, run):
        self.instance = instance
        self.run = run

    def inspect(self, request):
        request.log["params"] = {name: value.decode("utf-8", "replace")
                                 for name, value in Form(request.query).values.items()}

    def reply(self, request, fault):
        params = request.log["params"]
        if request.path == "/member/login/index":
            # The account's link carries the login page's parameters to the callback, as the
            # service's own sign-in would; the frame stands for the service's QR code box.
            query = urllib.parse.urlencode([(k, v) for k, v in params.items() if k in LOGIN_PARAMETERS])
            return _html(_page("登录", (
                "<h1>登录</h1><p>测试账号：%s</p>"
                "<p><a href=\"/wxlogincb?%s\">使用测试账号登录</a></p>"
                "<iframe src=\"/member/login/qrcode?%s\" width=\"200\" height=\"60\"></iframe>")
                % (html.escape(TEST_ACCOUNT["nickname"]), html.escape(query), html.escape(query))))
        if request.path == "/member/login/qrcode":
            return _html(_page("扫码登录", "<p>请使用手机扫码登录</p>"))
        if request.path == "/wxlogincb":
            account = {"status": "SUCCESS", "uuid": params.get("uuid", ""), "openid": TEST_ACCOUNT["openid"],
                       "avatar": request.base_url + AVATAR_PATH, "nickname": TEST_ACCOUNT["nickname"]}
            info = envelope_reply(account, 7, "", self.run.keys.rsa, fault).decode("utf-8")
            return _html(_page("登录成功", "<p>登录成功</p><script>var info = %s;</script>" % json.dumps(info)))
        if request.path == AVATAR_PATH:
            return Reply(200, AVATAR_PNG, "image/png")
        return Reply(404, b"no such page", "text/plain")

