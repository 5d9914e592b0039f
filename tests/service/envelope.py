"""The request envelope as the service reads it: base64 of concatenated RSA PKCS#1 v1.5 blocks, each
holding up to 245 bytes of the base64 text of the JSON payload."""

import base64
import binascii
import json
import os

from cryptography.hazmat.primitives import serialization
from cryptography.hazmat.primitives.asymmetric import padding

_FIXTURES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "fixtures", "service")
PRIVATE_KEY_PATH = os.path.join(_FIXTURES, "service_private_key.pem")
PUBLIC_KEY_PATH = os.path.join(_FIXTURES, "service_public_key.pem")

CHUNK = 245


class EnvelopeError(Exception):
    pass


def load_private_key(path=PRIVATE_KEY_PATH):
    with open(path, "rb") as f:
        return serialization.load_pem_private_key(f.read(), password=None)


def load_public_key(path=PUBLIC_KEY_PATH):
    with open(path, "rb") as f:
        return serialization.load_pem_public_key(f.read())


def _b64decode_strict(data, what):
    try:
        return base64.b64decode(data, validate=True)
    except (binascii.Error, ValueError) as e:
        raise EnvelopeError("%s is not base64: %s" % (what, e))


def decrypt_blocks(body, private_key):
    """The plain text inside the envelope (the base64 text P) and the number of RSA blocks."""
    cipher = _b64decode_strict(body.strip(), "body")
    size = private_key.key_size // 8
    if not cipher or len(cipher) % size:
        raise EnvelopeError("cipher text of %d bytes is not a whole number of %d-byte blocks" % (len(cipher), size))
    plain = b""
    for i in range(0, len(cipher), size):
        try:
            plain += private_key.decrypt(cipher[i:i + size], padding.PKCS1v15())
        except ValueError as e:
            raise EnvelopeError("block %d does not decrypt: %s" % (i // size, e))
    return plain, len(cipher) // size


def open_envelope(body, private_key):
    """(payload object, JSON text, number of blocks) of a request body, or EnvelopeError."""
    p, blocks = decrypt_blocks(body, private_key)
    text_bytes = _b64decode_strict(p, "decrypted text")
    try:
        text = text_bytes.decode("utf-8")
        payload = json.loads(text)
    except (UnicodeDecodeError, ValueError) as e:
        raise EnvelopeError("decrypted text is not JSON: %s" % e)
    if not isinstance(payload, dict):
        raise EnvelopeError("payload is not a JSON object")
    return payload, text, blocks


def seal(payload_text, public_key=None):
    """The envelope of a JSON text, as the client builds it (for tests of the service itself)."""
    public_key = public_key or load_public_key()
    p = base64.b64encode(payload_text.encode("utf-8"))
    cipher = b"".join(public_key.encrypt(p[i:i + CHUNK], padding.PKCS1v15()) for i in range(0, len(p), CHUNK))
    return base64.b64encode(cipher)
