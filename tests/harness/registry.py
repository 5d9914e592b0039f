"""Machine-wide record of running fleets, so that a fleet never takes a
subnet another one uses, leftovers of crashed runs are removed by the next
run, and the shared services stop with the last fleet.

/run/tavrin-harness/fleets/N.json holds the fleet on subnet N: its name,
owner (pid and start time) or "detached", its state file and pids.
"""

import contextlib
import fcntl
import os

from . import netns, procs
from .jobs import read_json, write_json_atomic

RUN_DIR = os.environ.get("TAVRIN_HARNESS_RUN", "/run/tavrin-harness")


def _fleets_dir():
    path = os.path.join(RUN_DIR, "fleets")
    os.makedirs(path, exist_ok=True)
    return path


@contextlib.contextmanager
def locked():
    """One lock around every change of the registry, the network and the services."""
    os.makedirs(RUN_DIR, exist_ok=True)
    with open(os.path.join(RUN_DIR, "lock"), "w") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(f, fcntl.LOCK_UN)


def entry_path(subnet):
    return os.path.join(_fleets_dir(), "%d.json" % subnet)


def entries():
    result = []
    for name in sorted(os.listdir(_fleets_dir())):
        if name.endswith(".json"):
            e = read_json(os.path.join(_fleets_dir(), name))
            if isinstance(e, dict) and "subnet" in e:
                result.append(e)
    return result


def save(entry):
    write_json_atomic(entry_path(entry["subnet"]), entry)


def remove(entry):
    try:
        os.unlink(entry_path(entry["subnet"]))
    except FileNotFoundError:
        pass


def is_live(entry):
    """A fleet lives while its owner does; a detached one (left running by the
    command line) also while any of its processes does."""
    owner = entry.get("owner") or {}
    if procs.alive(owner.get("pid", 0), owner.get("start")):
        return True
    return bool(entry.get("detached")) and any(
        procs.alive(p["pid"], p.get("start")) for p in entry.get("pids", []))


def teardown(entry):
    """Stops the fleet's processes and removes its network and state file (lock held)."""
    procs.stop(entry.get("pids", []))
    netns.delete_subnet(entry["subnet"])
    state = entry.get("state")
    if state:
        try:
            os.unlink(state)
        except FileNotFoundError:
            pass
    remove(entry)


def reap(also_name=None):
    """Removes dead fleets, the fleet named also_name and network leftovers
    that no fleet owns (lock held). Returns the entries still live."""
    live = []
    for e in entries():
        if (also_name is not None and e.get("name") == also_name) or not is_live(e):
            teardown(e)
        else:
            live.append(e)
    owned = {e["subnet"] for e in live}
    for subnet in netns.subnets_in_use() - owned:
        if subnet is not None:
            netns.delete_subnet(subnet)
    return live


def services_path():
    return os.path.join(RUN_DIR, "services.json")


def owned_services():
    return read_json(services_path(), {}) or {}


def save_services(owned):
    write_json_atomic(services_path(), owned)


def find(name):
    for e in entries():
        if e.get("name") == name:
            return e
    return None

