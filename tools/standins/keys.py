"""Key material of a stand-in run: the CA that signs the HTTPS certificate, the
server certificate for 127.0.0.1 and localhost, and the RSA key pair of the
client-management envelope.

Keys are made with the openssl command-line tool; the envelope's RSA operations
are done here with plain modular arithmetic on the private key's numbers, so
the stand-in needs no crypto module beyond the standard library.
"""

import base64
import os
import secrets
import subprocess

KEY_FILES = {
    "ca": "dev-ca.pem",
    "ca_key": "dev-ca-key.pem",
    "cert": "server-cert.pem",
    "cert_key": "server-key.pem",
    "rsa_public": "management-public.pem",
    "rsa_private": "management-private.pem",
}

SERVER_EXTENSIONS = """basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
"""


def _openssl(*args, cwd):
    result = subprocess.run(["openssl", *args], cwd=cwd, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise RuntimeError("openssl %s failed: %s" % (args[0], result.stderr.strip()))


def generate(folder, days=3650):
    """Writes a fresh CA, server certificate and 1024-bit envelope key pair into folder."""
    os.makedirs(folder, exist_ok=True)
    f = KEY_FILES
    _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", f["ca_key"], "-out", f["ca"],
             "-days", str(days), "-subj", "/CN=Quillora stand-in CA",
             "-addext", "basicConstraints=critical,CA:TRUE",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=folder)
    _openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", f["cert_key"], "-out", "server.csr",
             "-subj", "/CN=127.0.0.1", cwd=folder)
    with open(os.path.join(folder, "server.ext"), "w") as ext:
        ext.write(SERVER_EXTENSIONS)
    _openssl("x509", "-req", "-in", "server.csr", "-CA", f["ca"], "-CAkey", f["ca_key"], "-CAcreateserial",
             "-out", f["cert"], "-days", str(days), "-extfile", "server.ext", cwd=folder)
    _openssl("genrsa", "-out", f["rsa_private"], "1024", cwd=folder)
    _openssl("rsa", "-in", f["rsa_private"], "-pubout", "-out", f["rsa_public"], cwd=folder)
    for leftover in ("server.csr", "server.ext", "dev-ca.srl"):
        path = os.path.join(folder, leftover)
        if os.path.exists(path):
            os.remove(path)


class KeySet:
    """The key files of one run (generated or the committed development keys)."""

    def __init__(self, folder):
        self.folder = folder
        self.paths = {name: os.path.join(folder, file) for name, file in KEY_FILES.items()}
        with open(self.paths["ca"]) as f:
            self.ca_pem = f.read()
        with open(self.paths["rsa_public"]) as f:
            self.rsa_public_pem = f.read()
        with open(self.paths["rsa_private"]) as f:
            self.rsa = RsaPrivateKey.from_pem(f.read())


# --- DER reading: just enough for RSA private keys (PKCS#1 or PKCS#8) ---

def _der_read(data, pos):
    """Returns (tag, content start, content end) of the element at pos."""
    tag = data[pos]
    length = data[pos + 1]
    pos += 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[pos:pos + count], "big")
        pos += count
    return tag, pos, pos + length


def _der_children(data, start, end):
    items = []
    pos = start
    while pos < end:
        tag, cstart, cend = _der_read(data, pos)
        items.append((tag, cstart, cend))
        pos = cend
    return items


def _pem_body(pem):
    lines = [line.strip() for line in pem.strip().splitlines()]
    return base64.b64decode("".join(line for line in lines if line and not line.startswith("-----")))


class RsaPrivateKey:
    """Raw RSA with PKCS#1 v1.5 padding, both block types."""

    def __init__(self, n, e, d):
        self.n, self.e, self.d = n, e, d
        self.size = (n.bit_length() + 7) // 8

    @classmethod
    def from_pem(cls, pem):
        der = _pem_body(pem)
        tag, start, end = _der_read(der, 0)
        items = _der_children(der, start, end)
        if "BEGIN PRIVATE KEY" in pem:  # PKCS#8: version, algorithm, OCTET STRING holding PKCS#1
            _, ostart, oend = items[2]
            der = der[ostart:oend]
            tag, start, end = _der_read(der, 0)
            items = _der_children(der, start, end)
        ints = [int.from_bytes(der[s:e], "big") for (_, s, e) in items]
        return cls(ints[1], ints[2], ints[3])

    def decrypt(self, block):
        """Private-key decryption of a block padded with type 2 (public-key encryption).
        Returns the plain bytes or None when the block is not a valid encryption."""
        if len(block) != self.size:
            return None
        m = pow(int.from_bytes(block, "big"), self.d, self.n).to_bytes(self.size, "big")
        if m[0] != 0 or m[1] != 2:
            return None
        sep = m.find(b"\x00", 2)
        if sep < 10:  # at least eight padding bytes
            return None
        return m[sep + 1:]

    def sign_raw(self, data):
        """Private-key encryption with type 1 padding (what public-key decryption undoes)."""
        if len(data) > self.size - 11:
            raise ValueError("block too long for the key")
        padded = b"\x00\x01" + b"\xff" * (self.size - 3 - len(data)) + b"\x00" + data
        return pow(int.from_bytes(padded, "big"), self.d, self.n).to_bytes(self.size, "big")

    def encrypt_public(self, data):
        """Public-key encryption with type 2 padding (for self-checks)."""
        pad_len = self.size - 3 - len(data)
        pad = bytes(secrets.randbelow(255) + 1 for _ in range(pad_len))
        padded = b"\x00\x02" + pad + b"\x00" + data
        return pow(int.from_bytes(padded, "big"), self.e, self.n).to_bytes(self.size, "big")
