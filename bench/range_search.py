#!/usr/bin/env python3
"""Searches a /24 with 3 simulated printers and 251 silent addresses by IPv4
range, and prints the time next to the one-address-after-the-other search
(computed from its parts, or measured with --sequential: about two minutes).

Usage: bench/range_search.py [--build build] [--sequential]
Run as root: the printers live in network namespaces (198.18.0.0/15).
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FLEET = os.path.join(ROOT, "tests", "fixtures", "discovery", "fleet.py")
NAME = "discovery-bench"
CONNECT_TIMEOUT_S = 0.5  # the range search's wait on a silent address


def run(driver, env, *args):
    r = subprocess.run([driver] + list(args), env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       text=True, timeout=900)
    if r.returncode != 0:
        raise SystemExit("%s failed: %s" % (driver, r.stderr))
    return json.loads(r.stdout.strip().splitlines()[-1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--sequential", action="store_true", help="measure the sequential search too")
    args = parser.parse_args()
    driver = os.path.join(args.build, "tests", "discovery", "tavrin_range_search_bench")
    if not os.path.exists(driver):
        raise SystemExit("build tavrin_range_search_bench first (%s)" % driver)

    program_dir = tempfile.mkdtemp(prefix="tavrin-bench-")
    os.makedirs(os.path.join(program_dir, "bin"))
    for tool in ("dep1", "dep2"):
        shutil.copy(os.path.join(ROOT, "tools", "wrappers", tool), os.path.join(program_dir, "bin", tool))
    env = dict(os.environ, TAVRIN_FILE_DIR=program_dir, QT_QPA_PLATFORM="offscreen")

    up = subprocess.run([sys.executable, FLEET, "up", "--name", NAME, "--set", "bench"],
                        stdout=subprocess.PIPE, text=True)
    try:
        if up.returncode != 0:
            raise SystemExit("fleet did not come up")
        printers = [line.split() for line in up.stdout.splitlines()[:-1]]
        prefix = printers[0][1].rsplit(".", 1)[0]
        silent = 254 - len(printers)
        print("range search %s.1-254: %d printers, %d silent addresses" % (prefix, len(printers), silent))

        fast = run(driver, env, prefix + ".1", "254")
        print("  concurrent (64 connects, 16 probes at a time): %7.2f s  found %s"
              % (fast["seconds"], ", ".join("%s %s" % (n, ip) for n, ip in fast["items"])))

        probes = [run(driver, env, "--probe", ip)["seconds"] for _, ip in printers]
        computed = silent * CONNECT_TIMEOUT_S + sum(probes)
        print("  sequential, computed (%d x %.1f s + probes %.2f s): %7.2f s"
              % (silent, CONNECT_TIMEOUT_S, sum(probes), computed))
        if args.sequential:
            slow = run(driver, env, prefix + ".1", "254", "--sequential")
            same = "same list" if slow["items"] == fast["items"] else "DIFFERENT list"
            print("  sequential, measured: %7.2f s  (%s)" % (slow["seconds"], same))
        print("  speed-up: %.0fx" % (computed / fast["seconds"]))
    finally:
        subprocess.run([sys.executable, FLEET, "down", "--name", NAME], stdout=subprocess.DEVNULL)
        shutil.rmtree(program_dir, ignore_errors=True)


if __name__ == "__main__":
    main()
