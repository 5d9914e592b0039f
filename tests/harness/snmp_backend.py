"""Running the CUPS SNMP backend (/usr/lib/cups/backend/snmp) against a fleet.

The backend reads snmp.conf from CUPS_SERVERROOT; pointing that at a private
directory whose snmp.conf names the fleet's broadcast address makes it search
the namespace network only.
"""

import os
import subprocess

BACKEND = "/usr/lib/cups/backend/snmp"


def write_conf(directory, address, community="public", max_run_time=10, debug_level=0):
    """Writes DIRECTORY/snmp.conf; returns the environment to run the backend with."""
    os.makedirs(directory, exist_ok=True)
    lines = ["Address %s" % address, "Community %s" % community, "HostNameLookups off",
             "MaxRunTime %d" % max_run_time]
    if debug_level:
        lines.append("DebugLevel %d" % debug_level)
    with open(os.path.join(directory, "snmp.conf"), "w") as f:
        f.write("\n".join(lines) + "\n")
    return dict(os.environ, CUPS_SERVERROOT=directory)


def backend_env(fleet, directory, **kwargs):
    """The environment in which the backend finds the printers of `fleet`
    (a Fleet or its state dict)."""
    address = fleet["broadcast"] if isinstance(fleet, dict) else fleet.broadcast
    return write_conf(directory, address, **kwargs)


def run_backend(env, timeout=60):
    """Runs the backend without arguments; returns its standard output lines."""
    r = subprocess.run([BACKEND], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       timeout=timeout, text=True)
    return [line for line in r.stdout.splitlines() if line.strip()]
