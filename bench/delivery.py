#!/usr/bin/env python3
"""Delivery benchmarks against simulated printers, each figure next to a
baseline measured in the same run:

1. Wrapping a large document in its PJL header and streaming it to a raw
   port (9100, keeping only size and hash), with the driver's peak memory,
   next to bash's `cat FILE > /dev/tcp/IP/9100` to the same port.
2. A 100-page PDF delivered in mode "pwg" (Ghostscript to PWG raster, then
   IPP), with the conversion time, next to Ghostscript writing the same
   pages to the null device (the cost of reading and interpreting alone).

Usage: bench/delivery.py [--build build] [--size-mib 1024] [--pages 100]
Run as root: the printers live in network namespaces (198.18.0.0/15).
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FLEET = os.path.join(ROOT, "tests", "fixtures", "delivery", "fleet.py")
NAME = "delivery-bench"


def measure(argv, env=None):
    """Wall time, peak RSS (KiB, by GNU time) and the last stdout line of one run."""
    report = tempfile.NamedTemporaryFile(mode="r", suffix=".rss")
    start = time.monotonic()
    r = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + argv, env=env,
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=3600)
    elapsed = time.monotonic() - start
    rss = int(report.read().strip().splitlines()[-1])
    report.close()
    if r.returncode != 0:
        raise SystemExit("%s failed (%d): %s %s" % (argv[0], r.returncode, r.stdout, r.stderr))
    lines = r.stdout.strip().splitlines()
    return elapsed, rss, (lines[-1] if lines else "")


def make_document(path, size_mib):
    """A PDF header followed by size_mib MiB of bytes that do not compress."""
    block = os.urandom(1 << 20)
    with open(path, "wb") as f:
        f.write(b"%PDF-1.7\n")
        for _ in range(size_mib):
            f.write(block)
        f.write(b"\n%%EOF\n")


def make_pdf(path, pages):
    """Numbered A4 pages with text and a grey area, written by Ghostscript."""
    ps = ("1 1 %d { /n exch def /Helvetica findfont 36 scalefont setfont 72 700 moveto (Page ) show "
          "n 10 string cvs show newpath 72 72 moveto 523 72 lineto 523 600 lineto 72 600 lineto closepath "
          "0.5 setgray fill 0 setgray showpage } for" % pages)
    subprocess.run(["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sPAPERSIZE=a4", "-sDEVICE=pdfwrite",
                    "-o", path, "-c", ps], check=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--pages", type=int, default=100)
    args = parser.parse_args()
    driver = os.path.join(os.path.abspath(args.build), "tests", "delivery", "tavrin_delivery_bench")
    if not os.path.exists(driver):
        raise SystemExit("build tavrin_delivery_bench first (%s)" % driver)

    work = tempfile.mkdtemp(prefix="tavrin-bench-", dir="/var/tmp")
    program_dir = os.path.join(work, "files")
    os.makedirs(os.path.join(program_dir, "bin", "tavrin", "root"))
    shutil.copy(os.path.join(ROOT, "tools", "wrappers", "dep1"), os.path.join(program_dir, "bin", "dep1"))
    env = dict(os.environ, TAVRIN_FILE_DIR=program_dir)
    spool = os.path.join(program_dir, "bin", "tavrin", "root")

    up = subprocess.run([sys.executable, FLEET, "up", "--name", NAME, "--set", "bench"],
                        stdout=subprocess.PIPE, text=True)
    try:
        if up.returncode != 0:
            raise SystemExit("fleet did not come up")
        ips = dict(line.split()[:2] for line in up.stdout.splitlines()[:-1])

        doc = os.path.join(spool, "big.tmp")
        make_document(doc, args.size_mib)
        size = os.path.getsize(doc)
        mib = size / float(1 << 20)
        print("raw port: %d MiB document to %s:9100" % (args.size_mib, ips["sink"]))
        _, rss, line = measure([driver, "raw", ips["sink"], doc, "05"], env)
        result = json.loads(line)
        if not result["ok"]:
            raise SystemExit("raw delivery failed: %s" % result["error"])
        print("  wrap (header + document + footer to .withheader): %7.2f s  %7.1f MiB/s"
              % (result["wrap_s"], mib / result["wrap_s"]))
        print("  stream to the port, every byte acknowledged:      %7.2f s  %7.1f MiB/s"
              % (result["send_s"], mib / result["send_s"]))
        print("  driver peak memory:                               %7.1f MiB" % (rss / 1024.0))
        elapsed, rss, _ = measure(["bash", "-c", 'cat "$0" > /dev/tcp/%s/9100' % ips["sink"], doc])
        print("  baseline cat FILE > /dev/tcp/IP/9100:             %7.2f s  %7.1f MiB/s  (peak %.1f MiB)"
              % (elapsed, mib / elapsed, rss / 1024.0))
        os.unlink(doc)

        pdf = os.path.join(work, "pages.pdf")
        make_pdf(pdf, args.pages)
        print('mode "pwg": %d-page PDF to %s' % (args.pages, ips["pwg"]))
        job = os.path.join(spool, "pages.tmp")
        shutil.copy(pdf, job)
        elapsed, rss, line = measure([driver, "pwg", ips["pwg"], job], env)
        result = json.loads(line)
        if not result["ok"]:
            raise SystemExit("pwg delivery failed: %s" % result["error"])
        print("  conversion to PWG raster (600 dpi):               %7.2f s  (%.2f s per page)"
              % (result["convert_s"], result["convert_s"] / args.pages))
        print("  whole delivery (checks, conversion, submission):  %7.2f s  (peak %.1f MiB)"
              % (result["total_s"], rss / 1024.0))
        elapsed, _, _ = measure(["gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=nullpage",
                                 "-r600x600", pdf])
        print("  baseline gs to the null device, same pages:       %7.2f s" % elapsed)
    finally:
        subprocess.run([sys.executable, FLEET, "down", "--name", NAME], stdout=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
