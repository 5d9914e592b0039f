"""The Debian package installs, reinstalls, upgrades, is removed and purged cleanly.

It really installs into the system (as root) and restores the system afterwards; it
does nothing on a machine where the package is installed already.
"""
import json
import os
import shutil
import stat
import subprocess
import tempfile
import unittest

from sysfix.accounts import is_root
from sysfix.cupsd import CupsServer
from sysfix.package import PACKAGE, build_deb, installed_version
from sysfix.paths import binary

ROOT = "/opt/apps/com.kestrelware.tavrin"
FILES = ROOT + "/files"
QUEUE = "塔文"


def mode(path):
    st = os.lstat(path)
    return stat.S_IMODE(st.st_mode), st.st_uid


@unittest.skipUnless(is_root(), "installs a package")
@unittest.skipIf(installed_version() is not None, "the package is installed on this machine already")
class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavrin-package-")
        os.chmod(cls.tmp, 0o755)
        try:
            cls.deb = build_deb(cls.tmp)
            cls.newer = cls.repack(cls.deb, "1.3.0.4")
            # The maintainer scripts talk to this cupsd through CUPS_SERVER.
            cls.cups = CupsServer(binary("backend", "kwprint")).__enter__()
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if installed_version() is not None:
            subprocess.run(["dpkg", "--purge", PACKAGE], capture_output=True, env=cls.env())
        if getattr(cls, "cups", None):
            cls.cups.__exit__(None, None, None)
        shutil.rmtree(cls.tmp, ignore_errors=True)

    @classmethod
    def env(cls):
        return dict(os.environ, CUPS_SERVER=cls.cups.socket) if getattr(cls, "cups", None) else dict(os.environ)

    @classmethod
    def repack(cls, deb, version):
        tree = os.path.join(cls.tmp, "tree-" + version)
        subprocess.run(["dpkg-deb", "-R", deb, tree], check=True)
        control = os.path.join(tree, "DEBIAN", "control")
        with open(control) as f:
            text = f.read()
        with open(control, "w") as f:
            f.write("\n".join("Version: " + version if line.startswith("Version:") else line
                              for line in text.split("\n")))
        info = os.path.join(tree, ROOT.lstrip("/"), "info")
        with open(info) as f:
            data = json.load(f)
        data["version"] = version
        with open(info, "w") as f:
            json.dump(data, f, indent=4)
        out = os.path.join(cls.tmp, "%s_%s_amd64.deb" % (PACKAGE, version))
        subprocess.run(["dpkg-deb", "-b", "--root-owner-group", tree, out], check=True, capture_output=True)
        return out

    def dpkg(self, *args):
        r = subprocess.run(["dpkg"] + list(args), capture_output=True, text=True, env=self.env())
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)

    def queue_exists(self):
        return self.cups.run("lpstat", "-p", QUEUE, check=False).returncode == 0

    def check_installed(self, version):
        self.assertEqual(installed_version(), version)
        for path, expected in (("/usr/lib/cups/backend/tavrin", (0o700, 0)),
                               (FILES + "/bin/tavrin", (0o711, 0)),
                               (FILES + "/logs", (0o1777, 0)),
                               (FILES + "/bin/config.ini", (0o666, 0)),
                               (FILES + "/bin/tavrinapp", (0o755, 0)),
                               ("/usr/lib/cups/filter/tavrinkwpdf", (0o755, 0))):
            self.assertEqual(mode(path), expected, path)
        self.assertFalse(os.path.islink("/usr/lib/cups/backend/tavrin"), "a real file, not a link into /opt")
        for path in ("/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd",
                     "/etc/xdg/autostart/%s.desktop" % PACKAGE,
                     ROOT + "/entries/applications/%s.desktop" % PACKAGE,
                     FILES + "/bin/dep1", FILES + "/bin/dep2", FILES + "/bin/dep4"):
            self.assertTrue(os.path.exists(path), path)
        with open(ROOT + "/info") as f:
            info = json.load(f)
        self.assertEqual(info["appid"], PACKAGE)
        self.assertEqual(info["version"], version)
        self.assertEqual(len(version.split(".")), 4)

    def test_life_cycle(self):
        self.dpkg("-i", self.deb)
        self.check_installed("1.3.0.3")

        # What the program and the users made must survive a reinstall and an upgrade.
        with open(FILES + "/bin/config.ini", "w") as f:
            f.write("[Common]\nFirstRun=0\n")
        os.makedirs(FILES + "/bin/tavrin/someone", mode=0o700, exist_ok=True)
        self.cups.run("lpadmin", "-p", QUEUE, "-E", "-v", "tavrin://printer", "-P",
                      "/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd")

        self.dpkg("-i", self.deb)
        self.check_installed("1.3.0.3")
        self.dpkg("-i", self.newer)
        self.check_installed("1.3.0.4")
        with open(FILES + "/bin/config.ini") as f:
            self.assertIn("FirstRun=0", f.read())
        self.assertTrue(os.path.isdir(FILES + "/bin/tavrin/someone"))
        self.assertTrue(self.queue_exists(), "an upgrade keeps the queue")

        self.dpkg("-r", PACKAGE)
        self.assertIsNone(installed_version())
        self.assertFalse(self.queue_exists(), "removal deletes the queue")
        self.assertFalse(os.path.exists("/usr/lib/cups/backend/tavrin"))
        self.assertFalse(os.path.exists(FILES + "/bin/tavrinapp"))
        self.assertTrue(os.path.isdir(FILES + "/bin/tavrin"), "remove keeps the spool")

        self.dpkg("--purge", PACKAGE)
        self.assertFalse(os.path.exists(FILES + "/bin/tavrin"), "purge removes the spool root")
        self.assertFalse(os.path.exists(FILES + "/bin/config.ini"))
        self.assertFalse(os.path.exists(ROOT))


if __name__ == "__main__":
    unittest.main()
