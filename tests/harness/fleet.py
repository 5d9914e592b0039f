"""A fleet of simulated office printers, each in its own network namespace.

    with Fleet([PrinterSpec(...), ...], name="mytest") as fleet:
        hp = fleet["hp"]            # Printer: ip, uri, jobs, fault injection
        ...

Command line (for CTest fixtures, C++ tests and the demo); the fleet keeps
running after "up" until "down":
    python3 -m harness.fleet up --name NAME [--preset standard] [--subnet N]
    python3 -m harness.fleet down --name NAME | --all
    python3 -m harness.fleet state --name NAME     (prints the state file's path)
"""

import argparse
import http.client
import os
import shutil
import socket
import subprocess
import sys
import time

from . import ipp, ippeve, netns, procs, registry, services, snmp
from .jobs import read_json, wait_for_jobs, write_json_atomic
from .printer_types import IppeveSpec, ResponderSpec

PACKAGE_PARENT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIXTURES = os.path.join(PACKAGE_PARENT, "fixtures", "printers")
PYTHON = "/usr/bin/python3"
START_TIMEOUT = 30.0


class FleetError(RuntimeError):
    pass


def base_dir():
    return os.environ.get("TAVRIN_HARNESS_DIR", "/tmp/tavrin-harness")


def state_path(name):
    """Where the fleet NAME describes itself while it runs (JSON)."""
    return os.path.join(base_dir(), name, "state.json")


class Printer:
    """One running simulated printer, made from its state record."""

    def __init__(self, record):
        self.record = record
        self.name = record["name"]
        self.ip = record["ip"]
        self.netns = record["netns"]
        self.dir = record["dir"]
        self.expect = record.get("expect", {})
        self.ipp = record.get("ipp")    # {"kind", "uri", "spool", "log", ...} or None
        self.raw = record.get("raw")    # {"port", "spool", "control", "log"} or None
        self.snmp = record.get("snmp")  # {"table", "log", "objects"} or None

    @property
    def uri(self):
        return "ipp://%s/ipp/print" % self.ip

    def ipp_jobs(self, count=0, timeout=30.0):
        """Job records of documents received over IPP, oldest first; waits
        (bounded) until at least count exist. A record: job_id, document (path),
        format, bytes, sha256, attributes ({name: text}), time."""
        return wait_for_jobs(self.ipp["spool"], count, timeout)

    def raw_jobs(self, count=0, timeout=30.0):
        """Records of the raw-port connections that sent data, oldest first:
        document (path, None when discarding), bytes, sha256, peer, ended_by
        ("peer" or "fault"), time."""
        return wait_for_jobs(self.raw["spool"], count, timeout)

    def clear_jobs(self):
        """Deletes what the printer has received so far (wait for the records
        of jobs still arriving first, or they land after the clearing)."""
        for part in (self.ipp, self.raw):
            if part:
                for name in os.listdir(part["spool"]):
                    if not name.endswith(".tmp"):
                        try:
                            os.unlink(os.path.join(part["spool"], name))
                        except FileNotFoundError:
                            pass

    def set_raw(self, mode="normal", after=0, discard=False, timeout=10.0):
        """Fault injection on the raw port: "normal", "drop" (reset once after
        bytes arrived) or "closed" (connections refused). Returns once the
        listener has taken the change."""
        if not self.raw:
            raise FleetError("%s has no raw port" % self.name)
        control = {"mode": mode, "after": int(after), "discard": bool(discard)}
        write_json_atomic(self.raw["control"], control)
        status = os.path.join(self.raw["state_dir"], "listening.json")
        deadline = time.monotonic() + timeout
        while (read_json(status) or {}).get("control") != control:
            if time.monotonic() > deadline:
                raise FleetError("raw port of %s did not take %s" % (self.name, control))
            time.sleep(0.05)

    def set_refusals(self, count):
        """Small-responder printers only: answer printer-is-accepting-jobs false
        to the next count Get-Printer-Attributes queries, then true."""
        if not self.ipp or self.ipp["kind"] != "responder":
            raise FleetError("%s is not a responder printer" % self.name)
        write_json_atomic(self.ipp["control"], {"refuse_queries": int(count), "at": time.time()})
        # The responder re-reads the file on the next query; make sure its
        # modification time differs from the previous write.
        os.utime(self.ipp["control"], ns=(time.time_ns(), time.time_ns()))

    def set_busy_jobs(self, count):
        """Small-responder printers only: answer the next count Print-Job
        requests with server-error-busy."""
        if not self.ipp or self.ipp["kind"] != "responder":
            raise FleetError("%s is not a responder printer" % self.name)
        write_json_atomic(self.ipp["control"], {"busy_jobs": int(count), "at": time.time()})
        os.utime(self.ipp["control"], ns=(time.time_ns(), time.time_ns()))

    def printer_state(self, timeout=5.0):
        """printer-state of the IPP printer (3 idle, 4 processing, 5 stopped), asked
        with a plain IPP/1.1 request (a responder's query counter counts it too)."""
        request = ipp.Message((1, 1), ipp.OP_GET_PRINTER_ATTRIBUTES, 1)
        request.add(ipp.OPERATION, "attributes-charset", ipp.CHARSET, "utf-8")
        request.add(ipp.OPERATION, "attributes-natural-language", ipp.LANGUAGE, "en")
        request.add(ipp.OPERATION, "printer-uri", ipp.URI, self.uri)
        request.add(ipp.OPERATION, "requested-attributes", ipp.KEYWORD, "printer-state")
        conn = http.client.HTTPConnection(self.ip, 631, timeout=timeout)
        try:
            conn.request("POST", "/ipp/print", ipp.encode(request), {"Content-Type": "application/ipp"})
            return ipp.decode(conn.getresponse().read()).value("printer-state")
        finally:
            conn.close()

    def wait_idle(self, timeout=30.0):
        """Waits until the printer has finished its jobs (ippeveprinter takes one
        job at a time and answers server-error-busy while it processes one)."""
        deadline = time.monotonic() + timeout
        while self.printer_state() != 3:
            if time.monotonic() > deadline:
                raise FleetError("%s still busy after %ss" % (self.name, timeout))
            time.sleep(0.05)

    def queries(self):
        """Small-responder printers only: Get-Printer-Attributes queries answered since the last reset."""
        return (read_json(os.path.join(self.ipp["state_dir"], "queries.json")) or {}).get("queries", 0)


class Fleet:
    def __init__(self, printers, name="harness", subnet=None, detached=False):
        self.specs = list(printers)
        self.name = name
        self.requested_subnet = subnet
        self.detached = detached
        self.subnet = None
        self.dir = os.path.join(base_dir(), name)
        self.state_path = state_path(name)
        self.printers = {}
        self._entry = None
        self._popen = []
        self._records = []
        names = [s.name for s in self.specs]
        if len(set(names)) != len(names):
            raise FleetError("printer names must be unique: %s" % names)

    # ------------------------------------------------------------ access
    def __getitem__(self, name):
        return self.printers[name]

    def __iter__(self):
        return iter(self.printers.values())

    @property
    def host_ip(self):
        return netns.host_ip(self.subnet)

    @property
    def broadcast(self):
        return netns.broadcast(self.subnet)

    def __enter__(self):
        self.up()
        return self

    def __exit__(self, *exc):
        self.down()
        return False

    # ------------------------------------------------------------ up
    def up(self, attempts=3):
        if not netns.is_root():
            raise FleetError("the printer fleet needs root (network namespaces)")
        # ippeveprinter now and then aborts in avahi's D-Bus glue while it starts
        # (an assertion in dbus-watch-glue.c): a fresh start of the fleet succeeds.
        for attempt in range(1, attempts + 1):
            try:
                self._reserve()
                self._build()
                self._wait_ready()
                self._write_state()
                return self
            except FleetError:
                self.down()
                if attempt == attempts:
                    raise
                time.sleep(1)
            except BaseException:
                self.down()
                raise
        return self

    def _reserve(self):
        needs_services = any(isinstance(s.ipp, IppeveSpec) for s in self.specs)
        with registry.locked():
            live = registry.reap(also_name=self.name)
            taken = {e["subnet"] for e in live} | (netns.subnets_in_use() - {None})
            if self.requested_subnet is not None:
                if self.requested_subnet in taken:
                    raise FleetError("subnet %d is in use by another fleet" % self.requested_subnet)
                self.subnet = self.requested_subnet
            else:
                free = [n for n in range(netns.MAX_SUBNET + 1) if n not in taken]
                if not free:
                    raise FleetError("no free subnet in 198.18.0.0/16")
                self.subnet = free[0]
            self._entry = {"name": self.name, "subnet": self.subnet, "state": self.state_path,
                           "owner": procs.identity(os.getpid()), "detached": self.detached, "pids": []}
            registry.save(self._entry)
            if needs_services:
                owned = registry.owned_services()
                services.ensure(registry.RUN_DIR, owned)
                registry.save_services(owned)

    def _build(self):
        if os.path.isdir(self.dir):
            shutil.rmtree(self.dir)
        os.makedirs(self.dir)
        netns.create_bridge(self.subnet)
        hook = os.path.join(self.dir, "ippeve-hook")
        ippeve.write_hook(hook)
        used = {s.host for s in self.specs if s.host is not None}
        next_host = 10
        for desc in self.specs:
            host = desc.host
            if host is None:
                while next_host in used:
                    next_host += 1
                host = next_host
                used.add(host)
            if not 2 <= host <= 254:
                raise FleetError("host octet %d of %s out of range" % (host, desc.name))
            self._records.append(self._start_printer(desc, host, hook))

    def _spawn(self, ns, argv, log, env=None):
        full_env = dict(os.environ, PYTHONPATH=PACKAGE_PARENT)
        full_env.update(env or {})
        proc = procs.spawn(netns.exec_argv(ns, argv), log, env=full_env)
        self._popen.append((proc, log))
        ident = procs.identity(proc.pid)
        self._entry["pids"].append(ident)
        with registry.locked():
            registry.save(self._entry)
        return ident

    def _start_printer(self, desc, host, hook):
        ns, ip = netns.create_printer_ns(self.subnet, host, desc.name)
        pdir = os.path.join(self.dir, desc.name)
        os.makedirs(pdir)
        record = {"name": desc.name, "ip": ip, "netns": ns, "dir": pdir, "host": host,
                  "expect": dict(desc.expect), "pids": {}}
        if isinstance(desc.ipp, IppeveSpec):
            spool = os.path.join(pdir, "ipp")
            os.makedirs(spool)
            log = os.path.join(pdir, "ippeveprinter.log")
            args = ippeve.argv(desc.ipp, desc.name, ip, spool, hook, os.path.join(pdir, "ippeve.attrs"))
            record["pids"]["ipp"] = self._spawn(ns, args, log)
            record["ipp"] = {"kind": "ippeveprinter", "uri": "ipp://%s:631/ipp/print" % ip,
                             "spool": spool, "log": log, "argv": args,
                             "make": desc.ipp.make, "model": desc.ipp.model,
                             "formats": list(desc.ipp.formats), "color": desc.ipp.color,
                             "duplex": desc.ipp.duplex}
        elif isinstance(desc.ipp, ResponderSpec):
            record["ipp"] = self._start_responder(desc, ns, ip, pdir, record)
        if desc.raw is not None:
            record["raw"] = self._start_raw(desc, ns, pdir, record)
        if desc.snmp is not None:
            record["snmp"] = self._start_snmp(desc, ns, pdir, record)
        return record

    def _start_responder(self, desc, ns, ip, pdir, record):
        r = desc.ipp
        spool = os.path.join(pdir, "ipp")
        state_dir = os.path.join(pdir, "responder")
        os.makedirs(spool)
        os.makedirs(state_dir)
        scheme = "ipps" if r.tls else "ipp"
        uris = [u.replace("{ip}", ip) for u in r.uris] or ["%s://%s:631/ipp/print" % (scheme, ip)]
        config = {
            "name": desc.name, "spool": spool, "state_dir": state_dir,
            "control": os.path.join(state_dir, "control.json"), "uris": uris,
            "ports": list(r.ports), "max_version": r.max_version,
            "refuse_queries": r.refuse_queries, "omit_accepting": r.omit_accepting,
            "printer": {"name": desc.name, "make": r.make, "model": r.model,
                        "formats": list(r.formats), "color": r.color, "duplex": r.duplex,
                        "media_sources": list(r.media_sources), "location": r.location,
                        "extra": [list(x) for x in r.extra]},
        }
        if r.tls:
            cert, key = os.path.join(state_dir, "cert.pem"), os.path.join(state_dir, "key.pem")
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                            "-out", cert, "-days", "7", "-subj", "/CN=%s" % ip,
                            "-addext", "subjectAltName=IP:%s" % ip],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            config["tls"] = {"cert": cert, "key": key}
        conf = os.path.join(state_dir, "config.json")
        write_json_atomic(conf, config)
        log = os.path.join(pdir, "responder.log")
        record["pids"]["ipp"] = self._spawn(ns, [PYTHON, "-m", "harness.responder", conf], log)
        return {"kind": "responder", "uri": uris[0], "uris": uris, "spool": spool, "log": log,
                "state_dir": state_dir, "control": config["control"], "make": r.make, "model": r.model,
                "formats": list(r.formats), "color": r.color, "duplex": r.duplex,
                "max_version": r.max_version}

    def _start_raw(self, desc, ns, pdir, record):
        spool = os.path.join(pdir, "raw")
        state_dir = os.path.join(pdir, "rawport")
        os.makedirs(spool)
        os.makedirs(state_dir)
        control = os.path.join(state_dir, "control.json")
        write_json_atomic(control, {"mode": desc.raw.mode, "after": desc.raw.after,
                                    "discard": desc.raw.discard})
        conf = os.path.join(state_dir, "config.json")
        write_json_atomic(conf, {"spool": spool, "state_dir": state_dir, "control": control,
                                 "port": desc.raw.port})
        log = os.path.join(pdir, "rawport.log")
        record["pids"]["raw"] = self._spawn(ns, [PYTHON, "-m", "harness.rawport", conf], log)
        return {"port": desc.raw.port, "spool": spool, "state_dir": state_dir, "control": control,
                "log": log}

    def _start_snmp(self, desc, ns, pdir, record):
        sdir = os.path.join(pdir, "snmp")
        os.makedirs(os.path.join(sdir, "persist"))
        table = os.path.join(sdir, "table.json")
        snmp.write_table(desc.snmp, table)
        conf = os.path.join(sdir, "snmpd.conf")
        snmp.write_config(os.path.join(FIXTURES, "snmpd.conf.in"), conf, PYTHON,
                          os.path.join(PACKAGE_PARENT, "harness", "snmp_agent.py"), table)
        log = os.path.join(pdir, "snmpd.log")
        record["pids"]["snmp"] = self._spawn(ns, snmp.snmpd_argv(conf, log), os.path.join(sdir, "stdout.log"),
                                             env={"SNMP_PERSISTENT_DIR": os.path.join(sdir, "persist")})
        objects = {oid: [typ, value.hex() if isinstance(value, bytes) else value]
                   for oid, (typ, value) in desc.snmp.objects.items()}
        return {"table": table, "log": log, "objects": objects}

    # ------------------------------------------------------------ readiness
    def _check_exits(self):
        for proc, log in self._popen:
            if proc.poll() is not None:
                tail = ""
                try:
                    with open(log, errors="replace") as f:
                        tail = f.read()[-2000:]
                except OSError:
                    pass
                raise FleetError("%s exited with %s during start-up:\n%s" % (proc.args, proc.returncode, tail))

    def _wait_ready(self):
        pending = []
        for rec in self._records:
            if rec.get("ipp"):
                pending.append(("tcp", rec, 631))
            if rec.get("raw"):
                pending.append(("file", rec, os.path.join(rec["raw"]["state_dir"], "ready.json")))
            if rec.get("snmp"):
                pending.append(("snmp", rec, None))
        deadline = time.monotonic() + START_TIMEOUT
        while pending:
            self._check_exits()
            pending = [p for p in pending if not _ready(*p)]
            if pending and time.monotonic() > deadline:
                raise FleetError("not ready after %ds: %s" % (START_TIMEOUT, [(k, r["name"]) for k, r, _ in pending]))
            if pending:
                time.sleep(0.1)

    def _write_state(self):
        state = {"name": self.name, "subnet": self.subnet, "bridge": netns.bridge_name(self.subnet),
                 "host_ip": self.host_ip, "broadcast": self.broadcast, "network": "198.18.%d.0/24" % self.subnet,
                 "dir": self.dir, "detached": self.detached, "printers": self._records}
        write_json_atomic(self.state_path, state)
        self.printers = {r["name"]: Printer(r) for r in self._records}

    # ------------------------------------------------------------ down
    def down(self):
        """Stops every process, deletes namespaces, links and the state file; safe to repeat."""
        if self._entry is None:
            return
        with registry.locked():
            registry.teardown(self._entry)
            for proc, _ in self._popen:
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    pass
            live = registry.reap()
            if not live:
                owned = registry.owned_services()
                services.stop_owned(owned)
                registry.save_services(owned)
        self._entry = None
        self._popen = []
        self._records = []


def _ready(kind, rec, arg):
    if kind == "tcp":
        try:
            with socket.create_connection((rec["ip"], arg), timeout=0.5):
                return True
        except OSError:
            return False
    if kind == "file":
        return os.path.exists(arg)
    r = subprocess.run(["snmpget", "-v2c", "-c", "public", "-t", "0.5", "-r", "0", "-Oqv", rec["ip"],
                        next(iter(sorted(rec["snmp"]["objects"])))],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return r.returncode == 0


def load(name):
    """The printers of a running fleet (started elsewhere, e.g. by the command line)."""
    state = read_json(state_path(name))
    if not state:
        raise FleetError("no running fleet %r (%s)" % (name, state_path(name)))
    return {r["name"]: Printer(r) for r in state["printers"]}


# ---------------------------------------------------------------- command line

def main(argv=None):
    from . import presets
    parser = argparse.ArgumentParser(prog="python3 -m harness.fleet")
    sub = parser.add_subparsers(dest="command", required=True)
    up = sub.add_parser("up")
    up.add_argument("--name", required=True)
    up.add_argument("--preset", default="standard", choices=sorted(presets.PRESETS))
    up.add_argument("--subnet", type=int)
    down = sub.add_parser("down")
    down.add_argument("--name")
    down.add_argument("--all", action="store_true")
    st = sub.add_parser("state")
    st.add_argument("--name", required=True)
    args = parser.parse_args(argv)

    if args.command == "up":
        fleet = Fleet(presets.PRESETS[args.preset](), name=args.name, subnet=args.subnet, detached=True)
        fleet.up()
        for p in fleet:
            print("%-12s %s" % (p.name, p.ip))
        print(fleet.state_path)
        return 0
    if args.command == "state":
        print(state_path(args.name))
        return 0 if os.path.exists(state_path(args.name)) else 1
    with registry.locked():
        for e in registry.entries():
            if args.all or e.get("name") == args.name:
                registry.teardown(e)
        live = registry.reap()
        if not live:
            owned = registry.owned_services()
            services.stop_owned(owned)
            registry.save_services(owned)
    return 0


if __name__ == "__main__":
    sys.exit(main())
