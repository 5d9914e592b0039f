"""The Debian package as the package tests handle it: built by cpack from the
build directory, asked about through dpkg-query."""
import os
import subprocess

from sysfix.paths import BINARY_DIR

PACKAGE = "com.kestrelware.tavrin"


def installed_version():
    """The installed version, or None when the package is not installed."""
    r = subprocess.run(["dpkg-query", "-W", "-f=${Status} ${Version}", PACKAGE], capture_output=True, text=True)
    if r.returncode != 0 or not r.stdout.startswith("install ok installed"):
        return None
    return r.stdout.split()[-1]


def build_deb(directory):
    """Builds the package into `directory` and returns the path of the .deb."""
    r = subprocess.run(["cpack", "-G", "DEB", "-B", directory], cwd=BINARY_DIR, capture_output=True, text=True)
    if r.returncode != 0:
        raise RuntimeError("cpack failed: " + r.stdout + r.stderr)
    return [os.path.join(directory, f) for f in os.listdir(directory) if f.endswith(".deb")][0]
