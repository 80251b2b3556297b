"""The client-management envelope, server side.

Request: GET path?v_=<Base64, "+", "=", "/" escaped> whose payload is
  flags (4, little-endian) [RSA block | CRC-32 (4)] query bytes (maybe scrambled).
Reply: the same layout in plain Base64, whose body is the reply text followed by
the nonce object {"nonce":"..."} echoing the request's nonce.

Flags: 1 scrambled (nibble swap then NOT), 2 plain CRC-32, 4 RSA block holding the
CRC-32 (takes precedence over 2). The CRC covers the unscrambled body only.
"""

import base64
import struct

from wire import crc32, parse_pairs

SCRAMBLE = bytes((~(((b << 4) | (b >> 4)) & 0xFF)) & 0xFF for b in range(256))


def scramble(data):
    """Nibble swap then bitwise NOT of every byte; its own inverse."""
    return data.translate(SCRAMBLE)


class EnvelopeError(Exception):
    pass


class DecodedRequest:
    def __init__(self, flags, query, nonce):
        self.flags = flags
        self.query = query      # plain query bytes, e.g. b"softid=130&nonce=123"
        self.nonce = nonce      # text of the query's last parameter, "nonce"

    def params(self):
        return {name: value.decode("utf-8", "replace") for name, _, value in parse_pairs(self.query)}

    def for_log(self):
        return {"flags": self.flags, "query": self.query.decode("utf-8", "replace"), "nonce": self.nonce}


def decode_request(v_value, rsa):
    """Decodes the v_ parameter (already form-decoded bytes). Raises EnvelopeError."""
    try:
        payload = base64.b64decode(v_value, validate=True)
    except (ValueError, TypeError) as error:
        raise EnvelopeError("v_ is not Base64: %s" % error)
    if len(payload) < 4:
        raise EnvelopeError("payload shorter than the flags word")
    flags = struct.unpack_from("<I", payload)[0]
    expected = None
    if flags & 4:
        if len(payload) < 4 + rsa.size:
            raise EnvelopeError("payload shorter than the RSA block")
        plain = rsa.decrypt(payload[4:4 + rsa.size])
        if plain is None or len(plain) != 4:
            raise EnvelopeError("RSA block does not decrypt to a 4-byte CRC")
        expected = struct.unpack("<I", plain)[0]
        body = payload[4 + rsa.size:]
    elif flags & 2:
        if len(payload) < 8:
            raise EnvelopeError("payload shorter than flags and CRC")
        expected = struct.unpack_from("<I", payload, 4)[0]
        body = payload[8:]
    else:
        body = payload[4:]
    if flags & 1:
        body = scramble(body)
    if expected is not None and crc32(body) != expected:
        raise EnvelopeError("CRC-32 mismatch: carried %08x, body %08x" % (expected, crc32(body)))
    # The client appends its nonce as the query's last parameter; the reply must echo it.
    pairs = parse_pairs(body)
    if not pairs or pairs[-1][0] != "nonce" or not pairs[-1][2]:
        raise EnvelopeError("the query does not end with a nonce parameter")
    return DecodedRequest(flags, body, pairs[-1][2].decode("latin-1"))


def encode_reply(flags, text, nonce, rsa, bad_signature=None):
    """Builds the Base64 reply envelope of a reply text (bytes).
    bad_signature: None, "crc" (a valid RSA block or CRC of the wrong value) or
    "garbage" (an RSA block that does not decrypt)."""
    body = text + b'{"nonce":"' + nonce.encode("latin-1") + b'"}'
    crc = crc32(body)
    if bad_signature == "crc":
        crc ^= 0xFFFFFFFF
    header = struct.pack("<I", flags)
    if flags & 4:
        if bad_signature == "garbage":
            header += bytes((i * 37 + 11) & 0xFF for i in range(rsa.size))
        else:
            header += rsa.sign_raw(struct.pack("<I", crc))
    elif flags & 2:
        header += struct.pack("<I", crc)
    if flags & 1:
        body = scramble(body)
    return base64.b64encode(header + body)
