"""Declarative description of simulated printers."""

import re
from dataclasses import dataclass, field
from typing import Dict, Optional, Sequence, Tuple, Union

PDF = "application/pdf"
PWG = "image/pwg-raster"
URF = "image/urf"
JPEG = "image/jpeg"


@dataclass
class IppeveSpec:
    """ippeveprinter on port 631. Without `attributes` it runs with -M/-m/-f/-2/-s
    and answers its own complete IPP Everywhere attribute set. With `attributes`
    (lines "ATTR tag name value" of its attribute file; "{ip}" becomes the
    printer's address) it runs with -a on a file made of those lines and a
    baseline (tests/fixtures/printers/ippeve-base.attrs). ippeveprinter then
    still adds its own document-format-supported (a second one, after the
    file's) and always computes printer-uri-supported itself (ipp, then ipps):
    for full control of the answer use ResponderSpec."""
    make: str
    model: str
    formats: Sequence[str] = (PDF,)
    color: bool = False
    duplex: bool = False
    location: str = ""
    max_version: Optional[str] = None  # "1.1": -V 1.1, IPP 2.0 requests get no IPP answer
    attributes: Sequence[str] = ()


@dataclass
class ResponderSpec:
    """The small Python IPP printer (harness.responder) on port 631."""
    make: str
    model: str
    formats: Sequence[str] = (PDF,)
    color: bool = False
    duplex: bool = False
    media_sources: Sequence[str] = ("auto", "tray-1", "manual")
    location: str = ""
    max_version: str = "2.0"      # highest IPP version answered; above: server-error-version-not-supported
    refuse_queries: int = 0       # printer-is-accepting-jobs false for this many Get-Printer-Attributes
    omit_accepting: bool = False  # leave printer-is-accepting-jobs out of every answer
    tls: bool = False             # also speak TLS (ipps) on the same ports
    uris: Sequence[str] = ()      # printer-uri-supported; "{ip}" replaced; default ipp(s)://{ip}:631/ipp/print
    ports: Sequence[int] = (631,)
    extra: Sequence[Tuple[str, str, object]] = ()  # (name, tag name, values) replacing or adding attributes


@dataclass
class RawSpec:
    """The raw printing port (harness.rawport)."""
    port: int = 9100
    mode: str = "normal"  # "normal", "drop" (reset after `after` bytes) or "closed"
    after: int = 0
    discard: bool = False  # keep only size and SHA-256 of what arrives


SnmpValue = Tuple[str, Union[str, int, bytes]]


@dataclass
class SnmpSpec:
    """snmpd answering exactly `objects` (community "public", v1 and v2c).
    Types: "string", "hex" (bytes, shown by snmpget as Hex-STRING when not
    printable), "oid", "integer", "gauge", "counter", "timeticks", "ipaddress"."""
    objects: Dict[str, SnmpValue] = field(default_factory=dict)


@dataclass
class PrinterSpec:
    name: str
    ipp: Union[IppeveSpec, ResponderSpec, None] = None
    snmp: Optional[SnmpSpec] = None
    raw: Optional[RawSpec] = None
    host: Optional[int] = None  # last octet; default: the next free one from 10
    expect: Dict[str, object] = field(default_factory=dict)  # copied to the state file for tests

    def __post_init__(self):
        if not re.fullmatch(r"[a-z0-9][a-z0-9-]{0,19}", self.name):
            raise ValueError("printer name must be 1-20 of [a-z0-9-]: %r" % self.name)
