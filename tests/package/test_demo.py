"""The run command's demo office on the installed package: "up" registers two
printers and prints to each, showing what they received; "down" leaves no
namespace, process or changed file behind.

Installs the package (as root) and purges it afterwards; nothing is done on a
machine where it is installed already.
"""
import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest

from sysfix.accounts import is_root
from sysfix.desktop import without_leak_check
from sysfix.package import PACKAGE, build_deb, installed_version
from sysfix.paths import BINARY_DIR, SOURCE_DIR

DEMO = os.path.join(SOURCE_DIR, "scripts", "demo.py")
STATE = "/run/tavrin-demo/state.json"
CONFIG = "/opt/apps/com.kestrelware.tavrin/files/bin/config.ini"


def cups_running():
    r = subprocess.run(["lpstat", "-r"], capture_output=True, text=True)
    return "is running" in r.stdout and "not" not in r.stdout


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    with open("/proc/%d/stat" % pid) as f:
        return f.read().split(")")[-1].split()[0] != "Z"


def netns():
    return set(subprocess.run(["ip", "netns", "list"], capture_output=True, text=True).stdout.split())


@unittest.skipUnless(is_root(), "installs a package, runs cupsd and network namespaces")
@unittest.skipIf(installed_version() is not None, "the package is installed on this machine already")
@unittest.skipIf(os.path.exists(STATE), "a demo is running on this machine")
class DemoOfficeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavrin-demo-test-")
        cls.cupsd = None
        # The machine's own cupsd, as the demo finds it on a desktop: the package's
        # removal deletes the queue through it.
        if not cups_running():
            cls.cupsd = subprocess.Popen(["cupsd", "-f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                         start_new_session=True)
            deadline = time.monotonic() + 30
            while not cups_running() and time.monotonic() < deadline:
                time.sleep(0.1)
        try:
            deb = build_deb(cls.tmp)
        except RuntimeError:
            cls.tearDownClass()
            raise
        r = subprocess.run(["dpkg", "-i", deb], capture_output=True, text=True)
        if r.returncode != 0:
            cls.tearDownClass()
            raise RuntimeError("dpkg -i failed: " + r.stdout + r.stderr)

    @classmethod
    def tearDownClass(cls):
        subprocess.run(["/usr/bin/python3", DEMO, "down"], capture_output=True)
        if installed_version() is not None:
            subprocess.run(["dpkg", "--purge", PACKAGE], capture_output=True)
        if cls.cupsd:
            cls.cupsd.terminate()
            cls.cupsd.wait(30)
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def demo(self, command):
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "TAVRIN_FILE_DIR")}
        without_leak_check(env)
        return subprocess.run(["/usr/bin/python3", DEMO, command, "--build", BINARY_DIR], capture_output=True,
                              text=True, env=env, timeout=900)

    def test_up_prints_to_both_printers_and_down_leaves_nothing(self):
        namespaces = netns()
        with open(CONFIG, "rb") as f:
            config = f.read()

        up = self.demo("up")
        self.assertEqual(up.returncode, 0, up.stdout + up.stderr)
        for line in ('added 198.18.', "brand 09, model SHARP MX-3071, delivery dirpdf",
                     "-> arrived at sharp", "@PJL SET STAPLEOPTION=ONE", "@PJL SET MEDIASOURCE = TRAY2",
                     "PDF: ", "3 pages", "<ESC>%-12345X@PJL EOJ",
                     "-> arrived at everywhere", "IPP Print-Job: application/pdf", "copies = 2",
                     "print-color-mode = monochrome", "sides = two-sided-long-edge"):
            self.assertIn(line, up.stdout)
        with open(STATE) as f:
            state = json.load(f)
        started = [state["app"], state["service"]] + state.get("desktop", [])
        self.assertTrue(all(alive(pid) for pid in started))
        self.assertGreater(len(netns() - namespaces), 0)

        down = self.demo("down")
        self.assertEqual(down.returncode, 0, down.stdout + down.stderr)
        self.assertIn("demo: stopped", down.stdout)
        self.assertEqual([pid for pid in started if alive(pid)], [])
        self.assertEqual(netns(), namespaces)
        self.assertFalse(os.path.exists(os.path.dirname(STATE)))
        with open(CONFIG, "rb") as f:
            self.assertEqual(f.read(), config)
        self.assertTrue(cups_running(), "a cupsd the demo did not start keeps running")


if __name__ == "__main__":
    unittest.main()
