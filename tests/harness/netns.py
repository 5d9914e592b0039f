"""The simulated network: one bridge per fleet in the root namespace with the
host address 198.18.N.1/24, and one network namespace per printer joined to it
by a veth pair. Only connected routes exist, so nothing is routed outside
198.18.0.0/15.

Every name starts with PREFIX and carries the fleet's subnet number N, so
leftovers of a crashed run can be found and removed:
  bridge tvhN, host-side veth tvhN.H (H = printer's last octet),
  namespace tvhN-NAME.
"""

import ipaddress
import os
import re
import subprocess

from . import procs

PREFIX = "tvh"
NETWORK = ipaddress.ip_network("198.18.0.0/15")
MAX_SUBNET = 255  # 198.18.N.0/24


class NetError(RuntimeError):
    pass


def ip(*args, check=True):
    r = subprocess.run(["ip"] + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if check and r.returncode != 0:
        raise NetError("ip %s: %s" % (" ".join(args), r.stderr.strip()))
    return r


def subnet_prefix(subnet):
    return "198.18.%d" % subnet


def host_ip(subnet):
    return "198.18.%d.1" % subnet


def broadcast(subnet):
    return "198.18.%d.255" % subnet


def bridge_name(subnet):
    return "%s%d" % (PREFIX, subnet)


def veth_name(subnet, host):
    return "%s%d.%d" % (PREFIX, subnet, host)


def ns_name(subnet, printer):
    return "%s%d-%s" % (PREFIX, subnet, printer)


def _check_inside(address):
    if ipaddress.ip_address(address) not in NETWORK:
        raise NetError("address %s is outside %s" % (address, NETWORK))


def create_bridge(subnet):
    name = bridge_name(subnet)
    _check_inside(host_ip(subnet))
    ip("link", "add", name, "type", "bridge")
    # The bridge only joins our veths; no IPv6 chatter from it.
    _sysctl("net/ipv6/conf/%s/disable_ipv6" % name, "1")
    ip("addr", "add", host_ip(subnet) + "/24", "broadcast", broadcast(subnet), "dev", name)
    ip("link", "set", name, "up")


def _sysctl(key, value, netns=None):
    path = "/proc/sys/" + key
    if netns is None:
        try:
            with open(path, "w") as f:
                f.write(value)
        except OSError:
            pass
    else:
        subprocess.run(["ip", "netns", "exec", netns, "sh", "-c", 'echo %s > %s' % (value, path)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# snmpd answers a broadcast request from the broadcast address, which the
# kernel refuses to send from. Rewriting the destination of SNMP broadcasts to
# the printer's own address (stateless, inside the printer's namespace) makes
# the agent answer from its unicast address, as a real printer does.
_NFT_RULES = """table ip tvh_snmp {
  chain prerouting {
    type filter hook prerouting priority raw; policy accept;
    ip daddr %(bcast)s udp dport 161 ip daddr set %(addr)s
  }
}
"""


def create_printer_ns(subnet, host, printer):
    """Creates the namespace with eth0 = 198.18.N.host/24; returns (namespace, address)."""
    ns = ns_name(subnet, printer)
    veth = veth_name(subnet, host)
    address = "%s.%d" % (subnet_prefix(subnet), host)
    _check_inside(address)
    ip("netns", "add", ns)
    ip("link", "add", veth, "type", "veth", "peer", "name", "eth0", "netns", ns)
    _sysctl("net/ipv6/conf/%s/disable_ipv6" % veth, "1")
    ip("link", "set", veth, "master", bridge_name(subnet), "up")
    ip("-n", ns, "addr", "add", address + "/24", "broadcast", broadcast(subnet), "dev", "eth0")
    ip("-n", ns, "link", "set", "lo", "up")
    ip("-n", ns, "link", "set", "eth0", "up")
    r = subprocess.run(["ip", "netns", "exec", ns, "nft", "-f", "-"],
                       input=_NFT_RULES % {"bcast": broadcast(subnet), "addr": address},
                       text=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if r.returncode != 0:
        raise NetError("nft in %s: %s" % (ns, r.stderr.strip()))
    return ns, address


def ns_pids(ns):
    r = ip("netns", "pids", ns, check=False)
    return [int(p) for p in r.stdout.split() if p.isdigit()]


def delete_namespace(ns):
    """Stops every process inside the namespace, then removes it (with its veth)."""
    procs.stop(ns_pids(ns))
    ip("netns", "del", ns, check=False)


def our_namespaces():
    r = ip("netns", "list", check=False)
    names = [line.split()[0] for line in r.stdout.splitlines() if line.strip()]
    return [n for n in names if re.fullmatch(PREFIX + r"\d+-[a-z0-9-]+", n)]


def our_links():
    r = ip("-o", "link", "show", check=False)
    names = []
    for line in r.stdout.splitlines():
        parts = line.split(":", 2)
        if len(parts) >= 2:
            name = parts[1].strip().split("@")[0]
            if re.fullmatch(PREFIX + r"\d+(\.\d+)?", name):
                names.append(name)
    return names


def subnet_of(name):
    m = re.match(PREFIX + r"(\d+)", name)
    return int(m.group(1)) if m else None


def delete_subnet(subnet):
    """Removes every namespace and link of subnet N, with the processes inside."""
    for ns in our_namespaces():
        if subnet_of(ns) == subnet:
            delete_namespace(ns)
    for link in our_links():
        if subnet_of(link) == subnet and link != bridge_name(subnet):
            ip("link", "del", link, check=False)
    if bridge_name(subnet) in our_links():
        ip("link", "del", bridge_name(subnet), check=False)


def subnets_in_use():
    return {subnet_of(n) for n in our_namespaces() + our_links()}


def exec_argv(ns, argv):
    return ["ip", "netns", "exec", ns] + list(argv)


def is_root():
    return os.geteuid() == 0
