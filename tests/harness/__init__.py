"""Simulated office printers in network namespaces, for system tests.

See README.md in this folder. The entry points:
    Fleet, Printer, load, state_path                     harness.fleet
    PrinterSpec, IppeveSpec, ResponderSpec, RawSpec, SnmpSpec, PDF, PWG, URF, JPEG   harness.printer_types
    printer_agent                                        harness.snmp
    backend_env, run_backend                             harness.snmp_backend
    PRESETS                                              harness.presets
"""

from .printer_types import JPEG, PDF, PWG, URF, IppeveSpec, PrinterSpec, RawSpec, ResponderSpec, SnmpSpec

_LAZY = {
    "Fleet": "fleet", "FleetError": "fleet", "Printer": "fleet", "load": "fleet", "state_path": "fleet",
    "PRESETS": "presets", "printer_agent": "snmp", "backend_env": "snmp_backend",
    "run_backend": "snmp_backend",
}


def __getattr__(name):
    # Imported on first use, so that "python3 -m harness.fleet" runs the
    # module once, as __main__, and not also as harness.fleet.
    if name in _LAZY:
        import importlib
        return getattr(importlib.import_module("." + _LAZY[name], __name__), name)
    raise AttributeError(name)


__all__ = ["JPEG", "PDF", "PWG", "URF", "IppeveSpec", "PrinterSpec", "RawSpec", "ResponderSpec",
           "SnmpSpec"] + sorted(_LAZY)
