"""Bringing fleets up and down leaves nothing behind, also after a crash, and
the command line drives the same fleets for CTest fixtures."""

import json
import os
import signal
import subprocess
import sys
import textwrap
import unittest

from harness import PDF, Fleet, FleetError, IppeveSpec, PrinterSpec, RawSpec, ResponderSpec, printer_agent
from harness import fleet as fleet_mod, netns, procs, services
from harness import tools

HERE = os.path.dirname(os.path.abspath(__file__))
TESTS_DIR = os.path.dirname(HERE)


def small_specs():
    return [
        PrinterSpec("eve", raw=RawSpec(), ipp=IppeveSpec("HP", "LaserJet M404", (PDF,)),
                    snmp=printer_agent("1.3.6.1.4.1.11.2.3.9.1", "HP", "NPI1", "HP LaserJet M404", "SN1")),
        PrinterSpec("resp", ipp=ResponderSpec("Kyocera", "P3145dn", (PDF,))),
    ]


def running(ident_list):
    return [p for p in ident_list if procs.alive(p["pid"], p.get("start"))]


def leftovers(subnet):
    return ([n for n in netns.our_namespaces() if netns.subnet_of(n) == subnet] +
            [l for l in netns.our_links() if netns.subnet_of(l) == subnet])


class LifecycleTest(unittest.TestCase):
    def _pids(self, fleet):
        return [ident for rec in fleet._records for ident in rec["pids"].values()]

    def test_teardown_leaves_nothing_and_a_second_run_works(self):
        for _ in range(2):
            with Fleet(small_specs(), name="harness-test-cycle") as fleet:
                subnet = fleet.subnet
                pids = self._pids(fleet)
                self.assertEqual(len(running(pids)), len(pids))
                rc, out = tools.get_attributes(fleet["eve"].uri)
                self.assertEqual(rc, 0, out)
                self.assertTrue(os.path.exists(fleet.state_path))
                state_file = fleet.state_path
            self.assertEqual(running(pids), [])
            self.assertEqual(leftovers(subnet), [])
            self.assertFalse(os.path.exists(state_file))
            # Nothing else in the namespaces either (snmpd's agent, print commands).
            self.assertEqual(subprocess.run(["ip", "netns", "list"], stdout=subprocess.PIPE,
                                            text=True).stdout.count("tvh%d-" % subnet), 0)

    def test_failed_start_is_torn_down(self):
        bad = [PrinterSpec("ok", raw=RawSpec()),
               PrinterSpec("bad", ipp=IppeveSpec("X", "Y", ("no/such-format-list",), location="x"),
                           raw=RawSpec(port=70000))]
        fleet = Fleet(bad, name="harness-test-broken")
        with self.assertRaises(Exception):
            fleet.up()
        self.assertIsNotNone(fleet.subnet)
        self.assertEqual(leftovers(fleet.subnet), [])
        self.assertEqual(fleet_mod.registry.find("harness-test-broken"), None)

    def test_crashed_owner_is_cleaned_up_by_the_next_fleet(self):
        script = textwrap.dedent("""
            import os, sys, time
            from harness import Fleet, PrinterSpec, RawSpec, ResponderSpec, PDF
            f = Fleet([PrinterSpec("a", raw=RawSpec(), ipp=ResponderSpec("A", "B", (PDF,)))],
                      name="harness-test-crash")
            f.up()
            print(f.subnet, flush=True)
            time.sleep(600)
        """)
        child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE, text=True,
                                 env=dict(os.environ, PYTHONPATH=TESTS_DIR))
        subnet = int(child.stdout.readline())
        entry = fleet_mod.registry.find("harness-test-crash")
        self.assertIsNotNone(entry)
        child.send_signal(signal.SIGKILL)
        child.wait()
        self.assertNotEqual(leftovers(subnet), [])  # the crash left its network behind
        with Fleet([PrinterSpec("b", raw=RawSpec())], name="harness-test-after-crash") as fleet:
            self.assertEqual(fleet.subnet, subnet)  # the freed subnet is reused
            self.assertEqual(running(entry["pids"]), [])
            self.assertIsNone(fleet_mod.registry.find("harness-test-crash"))
        self.assertEqual(leftovers(subnet), [])

    def test_two_fleets_get_separate_networks(self):
        with Fleet([PrinterSpec("a", raw=RawSpec())], name="harness-test-one") as one, \
                Fleet([PrinterSpec("a", raw=RawSpec())], name="harness-test-two") as two:
            self.assertNotEqual(one.subnet, two.subnet)
            for f in (one, two):
                self.assertEqual(tools.send_raw(f["a"].ip, 9100, f.name.encode()), (len(f.name), None))
                with open(f["a"].raw_jobs(1)[0]["document"], "rb") as doc:
                    self.assertEqual(doc.read(), f.name.encode())
            with self.assertRaises(FleetError):
                Fleet([PrinterSpec("x", raw=RawSpec())], name="harness-test-three", subnet=one.subnet).up()

    def test_command_line_up_and_down(self):
        env = dict(os.environ, PYTHONPATH=TESTS_DIR)
        cli = [sys.executable, "-m", "harness.fleet"]
        name = "harness-test-cli"
        up = subprocess.run(cli + ["up", "--name", name, "--preset", "delivery"], env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=120)
        try:
            self.assertEqual(up.returncode, 0, up.stderr)
            path = up.stdout.strip().splitlines()[-1]
            self.assertEqual(path, fleet_mod.state_path(name))
            with open(path) as f:
                state = json.load(f)
            self.assertEqual(sorted(p["name"] for p in state["printers"]),
                             ["busy", "pantum", "pdf", "secure", "urf"])
            printers = fleet_mod.load(name)
            rc, out = tools.get_attributes(printers["pdf"].uri)
            self.assertEqual(rc, 0, out)
            self.assertEqual(tools.attributes(out)["printer-make-and-model"], "HP LaserJet Pro M404dn")
            self.assertEqual(tools.send_raw(printers["pdf"].ip, 9100, b"x"), (1, None))
            pids = [i for p in state["printers"] for i in p["pids"].values()]
            self.assertTrue(running(pids))
        finally:
            down = subprocess.run(cli + ["down", "--name", name], env=env, timeout=120)
        self.assertEqual(down.returncode, 0)
        self.assertEqual(running(pids), [])
        self.assertEqual(leftovers(state["subnet"]), [])
        self.assertFalse(os.path.exists(path))


class ServicesTest(unittest.TestCase):
    def test_services_started_by_the_harness_stop_with_the_last_fleet(self):
        if fleet_mod.registry.entries():
            self.skipTest("another fleet is running")
        before = (services.dbus_running(), services.avahi_running())
        with Fleet([PrinterSpec("eve", ipp=IppeveSpec("HP", "M404", (PDF,)))], name="harness-test-svc"):
            self.assertTrue(services.dbus_running())
            self.assertTrue(services.avahi_running())
            owned = fleet_mod.registry.owned_services()
        self.assertEqual((services.dbus_running(), services.avahi_running()), before)
        for ident in owned.values():
            self.assertFalse(procs.alive(ident["pid"], ident.get("start")))


if __name__ == "__main__":
    unittest.main()
