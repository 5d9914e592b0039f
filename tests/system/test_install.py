"""The install rules put every file where the system expects it, with the right modes."""
import os
import shutil
import stat
import subprocess
import tempfile
import unittest

from sysfix.paths import BINARY_DIR

APP = "opt/apps/com.kestrelware.tavrin/files"


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dest = tempfile.mkdtemp(prefix="tavrin-install-")
        subprocess.run(["cmake", "--install", BINARY_DIR], env=dict(os.environ, DESTDIR=cls.dest),
                       check=True, capture_output=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dest, ignore_errors=True)

    def mode(self, path):
        return stat.S_IMODE(os.lstat(os.path.join(self.dest, path)).st_mode)

    def test_files_and_modes(self):
        cases = (
            ("usr/lib/cups/backend/tavrin", 0o700),  # cupsd runs it as root only like this
            (APP + "/bin/tavrinapp", 0o755),
            (APP + "/bin/dep1", 0o755),
            (APP + "/bin/dep2", 0o755),
            (APP + "/bin/dep4", 0o755),
            (APP + "/bin/tavrin", 0o711),
            (APP + "/logs", 0o1777),
        )
        for path, mode in cases:
            with self.subTest(path=path):
                self.assertEqual(oct(self.mode(path)), oct(mode))

    def test_tool_wrappers_reach_the_real_tools(self):
        for tool, expected in (("dep1", "ipptool"), ("dep2", "snmpget"), ("dep4", "cupsfilter")):
            with self.subTest(tool=tool):
                r = subprocess.run([os.path.join(self.dest, APP, "bin", tool), "--help"], capture_output=True,
                                   text=True, timeout=30)
                self.assertIn(expected, (r.stdout + r.stderr).lower())


if __name__ == "__main__":
    unittest.main()
