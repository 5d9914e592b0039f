"""Job records that the simulated printers leave in their spool directories,
and the small file helpers the servers share.

Every IPP document DOC that the small responder receives gets a record
DOC.json; ippeveprinter keeps DOC and its print command saves DOC.env (the
job's IPP_* environment), turned into the same record here. Every raw (9100)
connection that sent data gets N.prn and N.json. A record is written last,
atomically, so its presence means the document is complete.
"""

import hashlib
import json
import os
import re
import time

from . import ipp


def write_json_atomic(path, data):
    tmp = "%s.%d.tmp" % (path, os.getpid())
    with open(tmp, "w") as f:
        json.dump(data, f, indent=1, sort_keys=True)
        f.flush()
        os.fsync(f.fileno())
    os.replace(tmp, path)


def read_json(path, default=None):
    try:
        with open(path) as f:
            return json.load(f)
    except (OSError, ValueError):
        return default


def attribute_text(tag, values):
    """Values as one text in the form ippeveprinter hands to its print command
    (comma-separated; collections as {name=value ...})."""
    def one(t, v):
        if t == ipp.BEG_COLLECTION:
            return "{" + " ".join("%s=%s" % (n, attribute_text(mt, mv)) for n, mt, mv in v) + "}"
        if t == ipp.BOOLEAN:
            return "true" if v else "false"
        if t == ipp.RESOLUTION:
            return "%dx%d%s" % (v[0], v[1], "dpi" if v[2] == 3 else "dpcm") if v[0] != v[1] \
                else "%d%s" % (v[0], "dpi" if v[2] == 3 else "dpcm")
        if t == ipp.RANGE:
            return "%d-%d" % v
        if t in (ipp.TEXT_LANG, ipp.NAME_LANG):
            return v[1]
        if isinstance(v, bytes):
            return v.hex()
        if v is None:
            return ipp.TAG_NAMES.get(t, "none")
        return str(v)
    return ",".join(one(tag, v) for v in values)


# Printer attributes ippeveprinter also exports; a record keeps the job's own.
_PRINTER_SUFFIXES = ("-default", "-supported", "-ready", "-database", "-configured")


def _file_digest(path):
    digest = hashlib.sha256()
    size = 0
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
            size += len(chunk)
    return size, digest.hexdigest()


def ippeve_record(env_path):
    """The record of one job kept by ippeveprinter, from its DOC.env file."""
    environ = {}
    with open(env_path, encoding="utf-8", errors="replace") as f:
        for line in f:
            key, sep, value = line.rstrip("\n").partition("=")
            if sep and re.fullmatch(r"[A-Z_][A-Z0-9_]*", key):
                environ[key] = value
    attributes = {}
    for key, value in environ.items():
        if key.startswith("IPP_"):
            name = key[4:].lower().replace("_", "-")
            if not name.endswith(_PRINTER_SUFFIXES) and not name.startswith(("pwg-raster-document-", "urf-")):
                attributes[name] = value
    document = env_path[:-len(".env")]
    size, sha = _file_digest(document)
    m = re.match(r"(\d+)-", os.path.basename(document))
    return {"job_id": int(m.group(1)) if m else 0, "document": document,
            "format": environ.get("CONTENT_TYPE", ""), "bytes": size, "sha256": sha,
            "attributes": attributes, "time": os.stat(env_path).st_mtime}


def _job_key(record):
    return (record.get("job_id") or 0, record.get("time") or 0)


def read_jobs(spool):
    """All complete job records of one spool directory, oldest first."""
    records = []
    try:
        names = os.listdir(spool)
    except OSError:
        return records
    for name in names:
        path = os.path.join(spool, name)
        if name.endswith(".json"):
            record = read_json(path)
            if isinstance(record, dict) and "document" in record:
                records.append(record)
        elif name.endswith(".env"):
            try:
                records.append(ippeve_record(path))
            except OSError:
                pass
    records.sort(key=_job_key)
    return records


def wait_for_jobs(spool, count, timeout):
    """Waits until at least count records exist; returns all of them (maybe fewer on time-out)."""
    deadline = time.monotonic() + timeout
    while True:
        records = read_jobs(spool)
        if len(records) >= count or time.monotonic() >= deadline:
            return records
        time.sleep(0.05)
