"""System D-Bus and avahi-daemon, which ippeveprinter needs even with -r off.

They are started only when not already running, and stopped only by the
harness that started them, once no fleet is left (registry.live_fleets()).
Our avahi-daemon announces nothing and listens on loopback only, so it never
sends anything onto a real network.
"""

import os
import socket
import subprocess
import time

from . import procs

DBUS_SOCKET = "/run/dbus/system_bus_socket"

_AVAHI_CONF = """[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
disable-publishing=yes
disable-user-service-publishing=yes
publish-hinfo=no
publish-workstation=no
[reflector]
enable-reflector=no
[rlimits]
"""


# Services this process started, so that stopping them also reaps them.
_children = {}


class ServiceError(RuntimeError):
    pass


def dbus_running():
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        s.connect(DBUS_SOCKET)
        return True
    except OSError:
        return False
    finally:
        s.close()


def avahi_running():
    return subprocess.run(["avahi-daemon", "--check"], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def _wait(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            raise ServiceError("%s did not come up" % what)
        time.sleep(0.05)


def start_dbus(run_dir):
    if os.path.exists(DBUS_SOCKET):
        os.unlink(DBUS_SOCKET)  # stale: nobody answers on it
    os.makedirs(os.path.dirname(DBUS_SOCKET), exist_ok=True)
    proc = procs.spawn(["dbus-daemon", "--system", "--nofork", "--nopidfile"],
                       os.path.join(run_dir, "dbus.log"))
    _children[proc.pid] = proc
    _wait(dbus_running, 10, "dbus-daemon")
    return procs.identity(proc.pid)


def start_avahi(run_dir):
    conf = os.path.join(run_dir, "avahi-daemon.conf")
    with open(conf, "w") as f:
        f.write(_AVAHI_CONF)
    log = os.path.join(run_dir, "avahi.log")
    start = os.path.getsize(log) if os.path.exists(log) else 0
    proc = procs.spawn(["avahi-daemon", "-f", conf, "--no-chroot", "--no-drop-root", "--no-rlimits"], log)
    _children[proc.pid] = proc

    def up():
        if proc.poll() is not None:
            raise ServiceError("avahi-daemon exited; see %s" % log)
        with open(log, "rb") as f:
            f.seek(start)
            return b"Server startup complete" in f.read()
    _wait(up, 15, "avahi-daemon")
    return procs.identity(proc.pid)


def ensure(run_dir, owned):
    """Starts what is missing; owned is the dict of services the harness runs
    ({"dbus": identity, "avahi": identity}), updated in place."""
    if not dbus_running():
        owned["dbus"] = start_dbus(run_dir)
    if not avahi_running():
        owned["avahi"] = start_avahi(run_dir)
    return owned


def stop_owned(owned):
    for name in ("avahi", "dbus"):
        ident = owned.pop(name, None)
        if ident:
            procs.stop([ident])
            child = _children.pop(ident["pid"], None)
            if child is not None:
                child.wait()
