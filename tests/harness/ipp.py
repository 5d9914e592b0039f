"""Minimal IPP/1.x-2.x message codec: enough for a printer that answers
Get-Printer-Attributes and takes Print-Job, and for tests that read requests.

An attribute is (group, name, tag, values); values are Python values by tag:
int for integer/enum, bool for boolean, str for the text kinds, bytes for
octetString and unknown tags, (x, y, units) for resolution, (lo, hi) for
rangeOfInteger, a list of (name, tag, values) members for collections, None
for out-of-band tags.
"""

import struct

# Delimiter tags.
OPERATION = 0x01
JOB = 0x02
END = 0x03
PRINTER = 0x04
UNSUPPORTED_GROUP = 0x05

# Value tags.
UNSUPPORTED = 0x10
UNKNOWN = 0x12
NO_VALUE = 0x13
INTEGER = 0x21
BOOLEAN = 0x22
ENUM = 0x23
OCTET_STRING = 0x30
DATE_TIME = 0x31
RESOLUTION = 0x32
RANGE = 0x33
BEG_COLLECTION = 0x34
TEXT_LANG = 0x35
NAME_LANG = 0x36
END_COLLECTION = 0x37
TEXT = 0x41
NAME = 0x42
KEYWORD = 0x44
URI = 0x45
URI_SCHEME = 0x46
CHARSET = 0x47
LANGUAGE = 0x48
MIME_TYPE = 0x49
MEMBER_NAME = 0x4A

_STRING_TAGS = {TEXT, NAME, KEYWORD, URI, URI_SCHEME, CHARSET, LANGUAGE, MIME_TYPE, MEMBER_NAME}
_OUT_OF_BAND = {UNSUPPORTED, 0x11, UNKNOWN, NO_VALUE}

# Operations and status codes the harness uses.
OP_PRINT_JOB = 0x0002
OP_VALIDATE_JOB = 0x0004
OP_CANCEL_JOB = 0x0008
OP_GET_JOB_ATTRIBUTES = 0x0009
OP_GET_JOBS = 0x000A
OP_GET_PRINTER_ATTRIBUTES = 0x000B

STATUS_OK = 0x0000
STATUS_BAD_REQUEST = 0x0400
STATUS_NOT_FOUND = 0x0406
STATUS_DOCUMENT_FORMAT_NOT_SUPPORTED = 0x040A
STATUS_OPERATION_NOT_SUPPORTED = 0x0501
STATUS_VERSION_NOT_SUPPORTED = 0x0503
STATUS_NOT_ACCEPTING_JOBS = 0x0506
STATUS_BUSY = 0x0507

TAG_NAMES = {
    INTEGER: "integer", BOOLEAN: "boolean", ENUM: "enum", OCTET_STRING: "octetString",
    DATE_TIME: "dateTime", RESOLUTION: "resolution", RANGE: "rangeOfInteger",
    BEG_COLLECTION: "collection", TEXT_LANG: "textWithLanguage", NAME_LANG: "nameWithLanguage",
    TEXT: "textWithoutLanguage", NAME: "nameWithoutLanguage", KEYWORD: "keyword", URI: "uri",
    URI_SCHEME: "uriScheme", CHARSET: "charset", LANGUAGE: "naturalLanguage",
    MIME_TYPE: "mimeMediaType", UNSUPPORTED: "unsupported", UNKNOWN: "unknown",
    NO_VALUE: "no-value",
}


class IppError(ValueError):
    """A message that cannot be decoded."""


class Message:
    """One IPP request or response."""

    def __init__(self, version=(2, 0), code=0, request_id=1, attributes=None, data=b""):
        self.version = version
        self.code = code  # operation-id in a request, status-code in a response
        self.request_id = request_id
        self.attributes = list(attributes or [])  # (group, name, tag, values)
        self.data = data  # document data after the attributes

    def add(self, group, name, tag, values):
        if not isinstance(values, list):
            values = [values]
        self.attributes.append((group, name, tag, values))
        return self

    def find(self, name, group=None):
        """First attribute of that name as (tag, values), or None."""
        for g, n, tag, values in self.attributes:
            if n == name and (group is None or g == group):
                return tag, values
        return None

    def value(self, name, default=None, group=None):
        hit = self.find(name, group)
        return hit[1][0] if hit and hit[1] else default

    def group(self, group):
        return [(n, t, v) for g, n, t, v in self.attributes if g == group]


# ---------------------------------------------------------------- encoding

def _encode_value(tag, value):
    if tag in (INTEGER, ENUM):
        return struct.pack(">i", value)
    if tag == BOOLEAN:
        return b"\x01" if value else b"\x00"
    if tag == RESOLUTION:
        x, y, units = value
        return struct.pack(">iib", x, y, units)
    if tag == RANGE:
        return struct.pack(">ii", value[0], value[1])
    if tag in _OUT_OF_BAND:
        return b""
    if tag in (TEXT_LANG, NAME_LANG):
        lang, text = value
        lang, text = lang.encode(), text.encode()
        return struct.pack(">H", len(lang)) + lang + struct.pack(">H", len(text)) + text
    if isinstance(value, bytes):
        return value
    return str(value).encode("utf-8")


def _encode_attribute(name, tag, values):
    out = bytearray()
    for i, value in enumerate(values):
        vname = name.encode() if i == 0 else b""
        if tag == BEG_COLLECTION:
            out += bytes([BEG_COLLECTION]) + struct.pack(">H", len(vname)) + vname + b"\x00\x00"
            for mname, mtag, mvalues in value:
                for j, mvalue in enumerate(mvalues):
                    if j == 0:
                        mn = mname.encode()
                        out += bytes([MEMBER_NAME]) + b"\x00\x00" + struct.pack(">H", len(mn)) + mn
                    out += _encode_attribute("", mtag, [mvalue])
            out += bytes([END_COLLECTION]) + b"\x00\x00\x00\x00"
        else:
            data = _encode_value(tag, value)
            out += bytes([tag]) + struct.pack(">H", len(vname)) + vname
            out += struct.pack(">H", len(data)) + data
    return bytes(out)


def encode(msg):
    out = bytearray(struct.pack(">bbhi", msg.version[0], msg.version[1], msg.code, msg.request_id))
    current = None
    for group, name, tag, values in msg.attributes:
        if group != current:
            out.append(group)
            current = group
        out += _encode_attribute(name, tag, values)
    out.append(END)
    return bytes(out) + msg.data


# ---------------------------------------------------------------- decoding

class _Reader:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, n):
        if self.pos + n > len(self.data):
            raise IppError("truncated IPP message")
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return struct.unpack(">H", self.take(2))[0]


def _decode_value(tag, raw):
    if tag in (INTEGER, ENUM):
        return struct.unpack(">i", raw)[0] if len(raw) == 4 else raw
    if tag == BOOLEAN:
        return bool(raw[0]) if raw else False
    if tag == RESOLUTION and len(raw) == 9:
        return struct.unpack(">iib", raw)
    if tag == RANGE and len(raw) == 8:
        return struct.unpack(">ii", raw)
    if tag in _OUT_OF_BAND:
        return None
    if tag in (TEXT_LANG, NAME_LANG):
        n = struct.unpack(">H", raw[:2])[0]
        lang = raw[2:2 + n].decode("utf-8", "replace")
        m = struct.unpack(">H", raw[2 + n:4 + n])[0]
        return (lang, raw[4 + n:4 + n + m].decode("utf-8", "replace"))
    if tag in _STRING_TAGS:
        return raw.decode("utf-8", "replace")
    return raw


def _read_collection(r):
    members = []
    while True:
        tag = r.u8()
        name = r.take(r.u16()).decode()
        raw = r.take(r.u16())
        if tag == END_COLLECTION:
            return members
        if tag == MEMBER_NAME:
            members.append([raw.decode(), None, []])
            continue
        if not members:
            raise IppError("collection value without member name")
        value = _read_collection(r) if tag == BEG_COLLECTION else _decode_value(tag, raw)
        members[-1][1] = tag
        members[-1][2].append(value)


def decode(data):
    """Decodes one message; the bytes after the end tag become msg.data."""
    r = _Reader(data)
    major, minor = r.u8(), r.u8()
    code = r.u16()
    request_id = struct.unpack(">i", r.take(4))[0]
    msg = Message((major, minor), code, request_id)
    group = None
    while True:
        tag = r.u8()
        if tag == END:
            break
        if tag < 0x10:
            group = tag
            continue
        name = r.take(r.u16()).decode("utf-8", "replace")
        raw = r.take(r.u16())
        if tag == BEG_COLLECTION:
            value = [tuple(m) for m in _read_collection(r)]
        else:
            value = _decode_value(tag, raw)
        if name:
            msg.attributes.append((group, name, tag, [value]))
        elif msg.attributes:
            msg.attributes[-1][3].append(value)
        else:
            raise IppError("additional value without attribute")
    msg.data = data[r.pos:]
    return msg

