"""SNMP identity of a simulated printer: the object table its snmpd answers."""

import json
import os

from .printer_types import SnmpSpec

SYS_DESCR = "1.3.6.1.2.1.1.1.0"
SYS_OBJECT_ID = "1.3.6.1.2.1.1.2.0"
SYS_NAME = "1.3.6.1.2.1.1.5.0"
SYS_LOCATION = "1.3.6.1.2.1.1.6.0"
HR_DEVICE_TYPE = "1.3.6.1.2.1.25.3.2.1.2.1"
HR_DEVICE_DESCR = "1.3.6.1.2.1.25.3.2.1.3.1"
HR_DEVICE_PRINTER = "1.3.6.1.2.1.25.3.1.5"
PRT_GENERAL_NAME = "1.3.6.1.2.1.43.5.1.1.16.1"
PRT_GENERAL_SERIAL = "1.3.6.1.2.1.43.5.1.1.17.1"
PPM_DEVICE_ID = "1.3.6.1.4.1.2699.1.2.1.2.1.1.3.1"
EPSON_SERIAL = "1.3.6.1.4.1.1248.1.2.2.1.1.1.5.1"
PANTUM_SERIAL = "1.3.6.1.4.1.40093.6.1.2"
LEXMARK_PANTUM_SERIAL = "1.3.6.1.4.1.641.2.1.2.1.6.1"
ENTERPRISE_24807_SERIAL = "1.3.6.1.4.1.24807.1.2.2.1.1.2.1.2.1"


def printer_agent(sys_object_id, sys_descr, sys_name, model, serial, make_and_model=None,
                  location="", device_id=None, extra=None):
    """The objects a network printer answers: system group, the host-resources
    device type and description that the CUPS SNMP backend looks for, the
    Printer-MIB name and serial, the IEEE 1284 device id, and `extra`
    ({oid: (type, value)}, e.g. brand-specific serial objects). `model` may be
    bytes (an answer snmpget shows as Hex-STRING)."""
    descr = make_and_model or (model if isinstance(model, str) else sys_descr)
    objects = {
        SYS_DESCR: ("string", sys_descr),
        SYS_OBJECT_ID: ("oid", sys_object_id),
        SYS_NAME: ("string", sys_name),
        SYS_LOCATION: ("string", location),
        HR_DEVICE_TYPE: ("oid", HR_DEVICE_PRINTER),
        HR_DEVICE_DESCR: ("string", descr),
        PRT_GENERAL_NAME: ("hex", model) if isinstance(model, bytes) else ("string", model),
        PRT_GENERAL_SERIAL: ("string", serial),
    }
    if device_id:
        objects[PPM_DEVICE_ID] = ("string", device_id)
    objects.update(extra or {})
    return SnmpSpec(objects)


def write_table(desc, path):
    rows = []
    for oid, (typ, value) in sorted(desc.objects.items()):
        if typ == "hex":
            value = value.hex() if isinstance(value, (bytes, bytearray)) else str(value)
        rows.append([oid.strip("."), typ, value])
    with open(path, "w") as f:
        json.dump({"objects": rows}, f, indent=1)


def write_config(template, path, python, agent, table):
    with open(template) as f:
        text = f.read()
    text = (text.replace("@PYTHON@", python).replace("@AGENT@", agent).replace("@TABLE@", table))
    with open(path, "w") as f:
        f.write(text)


def snmpd_argv(conf, log):
    # -C: no system-wide configuration; -I: only the modules the table needs.
    return ["snmpd", "-f", "-C", "-c", conf, "-I", "pass_persist,vacm_conf", "-Lf", log,
            "-M", os.devnull, "-m", ""]
