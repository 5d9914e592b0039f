"""Print command of the simulated ippeveprinter printers (its -c option):
ippeveprinter runs it with the kept job file as argument and the job's
attributes in IPP_* variables; it writes FILE.json, the job record."""

import hashlib
import os
import re
import sys
import time

from harness.jobs import write_json_atomic

# Printer attributes ippeveprinter also exports; the record keeps the job's own.
_PRINTER_SUFFIXES = ("-default", "-supported", "-ready", "-database", "-configured")


def job_attributes(environ):
    attributes = {}
    for key, value in environ.items():
        if not key.startswith("IPP_"):
            continue
        name = key[4:].lower().replace("_", "-")
        if name.endswith(_PRINTER_SUFFIXES) or name.startswith(("pwg-raster-document-", "urf-")):
            continue
        attributes[name] = value
    return attributes


def main(argv):
    path = argv[1]
    digest = hashlib.sha256()
    size = 0
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
            size += len(chunk)
    m = re.match(r"(\d+)-", os.path.basename(path))
    write_json_atomic(path + ".json", {
        "job_id": int(m.group(1)) if m else 0, "document": path,
        "format": os.environ.get("CONTENT_TYPE", ""), "bytes": size,
        "sha256": digest.hexdigest(), "attributes": job_attributes(os.environ), "time": time.time(),
    })
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
