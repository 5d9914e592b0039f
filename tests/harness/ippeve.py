"""ippeveprinter for one simulated printer: command line, attribute file and
the print command that records each job."""

import os

from .printer_types import PWG, URF

_FIXTURES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "fixtures", "printers")
BASE_ATTRS = os.path.join(_FIXTURES, "ippeve-base.attrs")


def _quote(value):
    return '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"')


def attribute_lines(desc, ip):
    """The -a file's lines: generated identity, baseline, then the desc's lines;
    a line naming an attribute that an earlier line names replaces it."""
    formats = list(desc.formats)
    color_modes = "auto,monochrome,color" if desc.color else "monochrome"
    sides = "one-sided,two-sided-long-edge,two-sided-short-edge" if desc.duplex else "one-sided"
    lines = [
        "ATTR textWithoutLanguage printer-make-and-model %s" % _quote("%s %s" % (desc.make, desc.model)),
        "ATTR textWithoutLanguage printer-device-id %s" % _quote("MFG:%s;MDL:%s;" % (desc.make, desc.model)),
        "ATTR mimeMediaType document-format-supported %s" % ",".join(formats),
        "ATTR boolean color-supported %s" % ("true" if desc.color else "false"),
        "ATTR keyword print-color-mode-default %s" % color_modes.split(",")[0],
        "ATTR keyword print-color-mode-supported %s" % color_modes,
        "ATTR keyword sides-default one-sided",
        "ATTR keyword sides-supported %s" % sides,
    ]
    if PWG in formats:
        lines += [
            "ATTR resolution pwg-raster-document-resolution-supported 300dpi,600dpi",
            "ATTR keyword pwg-raster-document-type-supported black_1,sgray_8%s" % (",srgb_8" if desc.color else ""),
            "ATTR keyword pwg-raster-document-sheet-back rotated",
        ]
    if URF in formats:
        lines.append("ATTR keyword urf-supported V1.4,CP1,W8,RS300-600,IS1%s%s"
                     % (",SRGB24" if desc.color else "", ",DM1" if desc.duplex else ""))
    with open(BASE_ATTRS) as f:
        lines += [ln.rstrip("\n") for ln in f if ln.startswith("ATTR ")]
    lines += [ln.replace("{ip}", ip) for ln in desc.attributes]
    merged = {}
    for ln in lines:
        merged[ln.split()[2]] = ln  # dicts keep first-insertion order; the last line wins
    return list(merged.values())


def argv(desc, name, ip, spool, hook, attrs_path):
    """ippeveprinter's command line; writes the attribute file when the desc needs one."""
    args = ["ippeveprinter", "-vvv", "-r", "off", "-p", "631", "-k", "-d", spool, "-c", hook]
    if desc.location:
        args += ["-l", desc.location]
    if desc.max_version:
        args += ["-V", desc.max_version]
    if desc.attributes:
        with open(attrs_path, "w") as f:
            f.write("\n".join(attribute_lines(desc, ip)) + "\n")
        args += ["-a", attrs_path]
    else:
        args += ["-M", desc.make, "-m", desc.model, "-f", ",".join(desc.formats)]
        if desc.duplex:
            args.append("-2")
        # A colour speed above 0 makes ippeveprinter a colour printer.
        args += ["-s", "20,10" if desc.color else "20"]
    return args + [name]


def write_hook(path):
    """ippeveprinter's print command. ippeveprinter takes one job at a time and
    answers server-error-busy meanwhile, so the command only saves the job's
    environment (its IPP_* attributes) next to the kept file and ends;
    harness.jobs reads it."""
    with open(path, "w") as f:
        f.write('#!/bin/sh\nenv > "$1.env.tmp" && mv "$1.env.tmp" "$1.env"\n')
    os.chmod(path, 0o755)
