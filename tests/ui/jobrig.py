#!/usr/bin/env python3
"""The peers of the job watcher tests: a private cupsd running the capture
backend for the queue "塔文" (raw, so the backend gets the document as lp sent
it) and two simulated printers in network namespaces.

    python3 jobrig.py --file-dir DIR --backend KWPRINT

Prints one JSON line, {"cups_socket", "printers": {NAME: {"ip"}}, "silent_ip"},
then answers one JSON line per command read from standard input:
    jobs NAME raw|ipp COUNT TIMEOUT   the printer's job records, oldest first
Everything is stopped and removed when standard input ends, so a test that
dies takes its peers with it.
"""
import argparse
import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

from harness.fleet import Fleet  # noqa: E402
from harness.printer_types import PDF, PWG, IppeveSpec, PrinterSpec, RawSpec  # noqa: E402
from sysfix.cupsd import CupsServer  # noqa: E402

QUEUE = "塔文"


def printers():
    return [
        PrinterSpec("office", host=10, raw=RawSpec(),
                    ipp=IppeveSpec("HP", "LaserJet Pro M404dn", (PDF, PWG), color=True, duplex=True)),
        PrinterSpec("lab", host=11, raw=RawSpec(),
                    ipp=IppeveSpec("TOSHIBA", "e-STUDIO3015AC", (PDF, PWG), color=True, duplex=True)),
    ]


def reply(data):
    sys.stdout.write(json.dumps(data) + "\n")
    sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file-dir", required=True)
    parser.add_argument("--backend", required=True)
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="tavrin-jobrig-")
    os.chmod(work, 0o755)
    fleet = Fleet(printers(), name="uijobs-%d" % os.getpid())
    cups = CupsServer(args.backend, env={"TAVRIN_FILE_DIR": args.file_dir,
                                         "TAVRIN_BACKEND_LOG": os.path.join(work, "tavrinback.log")})
    try:
        fleet.up()
        cups.__enter__()
        cups.run("lpadmin", "-p", QUEUE, "-E", "-v", "tavrin://printer", "-m", "raw")
        reply({"cups_socket": cups.socket,
               "printers": {p.name: {"ip": p.ip} for p in fleet},
               "silent_ip": "198.18.%d.99" % fleet.subnet})
        for line in sys.stdin:
            words = line.split()
            if len(words) == 5 and words[0] == "jobs":
                printer = fleet[words[1]]
                get = printer.raw_jobs if words[2] == "raw" else printer.ipp_jobs
                try:
                    reply(get(count=int(words[3]), timeout=float(words[4])))
                except Exception as e:  # a wait that ran out answers what there is
                    reply({"error": str(e), "jobs": get(count=0, timeout=0)})
            else:
                reply({"error": "unknown command: " + line.strip()})
    except Exception as e:
        reply({"error": "%s: %s" % (type(e).__name__, e)})
        return 1
    finally:
        cups.stop()
        fleet.down()
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
