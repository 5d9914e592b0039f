"""pass_persist agent of snmpd: answers get and getnext from a JSON table
{"objects": [[oid, type, value], ...]} (types as in printer_types.SnmpSpec; "hex"
values are hex digits). Run by snmpd: python3 snmp_agent.py TABLE.json
"""

import json
import sys

_TYPES = {"string": "string", "hex": "octet", "oid": "objectid", "integer": "integer",
          "gauge": "gauge", "counter": "counter", "timeticks": "timeticks", "ipaddress": "ipaddress"}


def _key(oid):
    return tuple(int(x) for x in oid.strip(".").split(".") if x)


def load(path):
    with open(path) as f:
        rows = json.load(f)["objects"]
    table = {}
    for oid, typ, value in rows:
        if typ == "hex":
            value = " ".join("%02X" % b for b in bytes.fromhex(value))
        elif typ == "oid":
            value = "." + str(value).strip(".")
        table[_key(oid)] = (_TYPES[typ], str(value).replace("\n", " "))
    return table


def answer(table, order, command, oid):
    key = _key(oid)
    if command == "get":
        hit = key if key in table else None
    else:
        hit = next((k for k in order if k > key), None)
    if hit is None:
        return "NONE\n"
    typ, value = table[hit]
    return ".%s\n%s\n%s\n" % (".".join(map(str, hit)), typ, value)


def main(argv):
    table = load(argv[1])
    order = sorted(table)
    out = sys.stdout
    for line in sys.stdin:
        command = line.strip()
        if command == "PING":
            out.write("PONG\n")
        elif command in ("get", "getnext"):
            out.write(answer(table, order, command, sys.stdin.readline().strip()))
        elif command == "set":
            sys.stdin.readline()
            sys.stdin.readline()
            out.write("not-writable\n")
        out.flush()


if __name__ == "__main__":
    main(sys.argv)
