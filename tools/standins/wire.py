"""Byte-level helpers shared by the stand-in services: form and query parsing,
multipart bodies, the request signature of the speech service, and the Base64
escaping that makes a Base64 text safe inside a form or query value."""

import codecs
import hashlib
import re
import urllib.parse
import zlib

SIGN_SALT = "4185062"


def _euro_sign(error):
    """Code page 936 is GBK plus the euro sign as the single byte 0x80, which
    Python's GBK codec lacks."""
    if isinstance(error, UnicodeDecodeError) and error.object[error.start] == 0x80:
        return "\u20ac", error.start + 1
    if isinstance(error, UnicodeEncodeError) and error.object[error.start] == "\u20ac":
        return b"\x80", error.start + 1
    raise error


def _euro_sign_or_replace(error):
    try:
        return _euro_sign(error)
    except UnicodeError:
        return codecs.replace_errors(error)


codecs.register_error("cp936", _euro_sign)
codecs.register_error("cp936-replace", _euro_sign_or_replace)


def ansi_decode(data, replace=False):
    """Text of code page 936 bytes (the client's ANSI code page); raises
    UnicodeDecodeError unless replace is set."""
    return data.decode("gbk", "cp936-replace" if replace else "cp936")


def ansi_encode(text):
    return text.encode("gbk", "cp936")


def escape_base64(text):
    return text.replace("+", "%2B").replace("=", "%3D").replace("/", "%2F")


def sign_of(text):
    """The speech service's signature of a text: MD5 hex of the text and the salt."""
    return hashlib.md5((text + SIGN_SALT).encode("latin-1")).hexdigest()


def crc32(data):
    return zlib.crc32(data) & 0xFFFFFFFF


def parse_pairs(raw):
    """Splits a form or query (bytes) into an ordered list of (name, raw value bytes,
    decoded value bytes). Decoding follows form rules: "+" is a space, %XX a byte."""
    pairs = []
    for part in raw.split(b"&"):
        if not part:
            continue
        name, _, value = part.partition(b"=")
        decoded = urllib.parse.unquote_to_bytes(value.replace(b"+", b" "))
        pairs.append((urllib.parse.unquote_to_bytes(name.replace(b"+", b" ")).decode("latin-1"), value, decoded))
    return pairs


class Form:
    """A parsed form or query: first value of each name, decoded and raw."""

    def __init__(self, raw):
        self.raw = raw
        self.pairs = parse_pairs(raw)
        self.values = {}
        self.raw_values = {}
        for name, raw_value, value in self.pairs:
            self.values.setdefault(name, value)
            self.raw_values.setdefault(name, raw_value)

    def __contains__(self, name):
        return name in self.values

    def text(self, name, encoding=None):
        """The decoded value as text (code page 936 unless another encoding is
        named); None when missing or not decodable."""
        value = self.values.get(name)
        if value is None:
            return None
        try:
            return value.decode(encoding) if encoding else ansi_decode(value)
        except UnicodeDecodeError:
            return None

    def integer(self, name):
        text = self.text(name, "latin-1")
        if text is None or not re.fullmatch(r"-?\d+", text):
            return None
        return int(text)

    def for_log(self):
        """Decoded values for the request log (ANSI text, code page 936)."""
        return {name: ansi_decode(value, replace=True) for name, value in self.values.items()}


def parse_multipart(body, content_type):
    """Returns {name: {"data": bytes, "filename": str or None, "content_type": str}} or None
    when the body is not a multipart/form-data body with the given boundary."""
    match = re.search(r'boundary="?([^";]+)"?', content_type or "")
    if not content_type or not content_type.startswith("multipart/form-data") or not match:
        return None
    boundary = b"--" + match.group(1).encode("latin-1")
    parts = {}
    chunks = body.split(boundary)
    if len(chunks) < 3:
        return None
    for chunk in chunks[1:-1]:
        if chunk.startswith(b"\r\n"):
            chunk = chunk[2:]
        head, sep, data = chunk.partition(b"\r\n\r\n")
        if not sep:
            return None
        if data.endswith(b"\r\n"):
            data = data[:-2]
        headers = head.decode("latin-1")
        disposition = re.search(r'(?im)^content-disposition:\s*form-data;(.*)$', headers)
        if not disposition:
            return None
        name = re.search(r'\bname="([^"]*)"', disposition.group(1))
        filename = re.search(r'\bfilename="([^"]*)"', disposition.group(1))
        ctype = re.search(r'(?im)^content-type:\s*(.*)$', headers)
        if not name:
            return None
        parts.setdefault(name.group(1), {
            "data": data,
            "filename": filename.group(1) if filename else None,
            "content_type": ctype.group(1).strip() if ctype else "",
        })
    return parts
