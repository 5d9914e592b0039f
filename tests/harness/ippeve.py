"""ippeveprinter for one simulated printer: command line, attribute file and
the print command that records each job."""

import os

from .printer_types import PWG, URF

_FIXTURES = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "fixtures", "printers")
BASE_ATTRS = os.path.join(_FIXTURES, "ippeve-base.attrs")


def _quote(value):
    return '"%s"' % value.replace("\\", "\\\\").replace('"', '\\"')


def attribute_lines(spec, ip):
    """The -a file's lines: generated identity, baseline, then the spec's lines;
    a line naming an attribute that an earlier line names replaces it."""
    formats = list(spec.formats)
    color_modes = "auto,monochrome,color" if spec.color else "monochrome"
    sides = "one-sided,two-sided-long-edge,two-sided-short-edge" if spec.duplex else "one-sided"
    lines = [
        "ATTR textWithoutLanguage printer-make-and-model %s" % _quote("%s %s" % (spec.make, spec.model)),
        "ATTR textWithoutLanguage printer-device-id %s" % _quote("MFG:%s;MDL:%s;" % (spec.make, spec.model)),
        "ATTR mimeMediaType document-format-supported %s" % ",".join(formats),
        "ATTR boolean color-supported %s" % ("true" if spec.color else "false"),
        "ATTR keyword print-color-mode-default %s" % color_modes.split(",")[0],
        "ATTR keyword print-color-mode-supported %s" % color_modes,
        "ATTR keyword sides-default one-sided",
        "ATTR keyword sides-supported %s" % sides,
    ]
    if PWG in formats:
        lines += [
            "ATTR resolution pwg-raster-document-resolution-supported 300dpi,600dpi",
            "ATTR keyword pwg-raster-document-type-supported black_1,sgray_8%s" % (",srgb_8" if spec.color else ""),
            "ATTR keyword pwg-raster-document-sheet-back rotated",
        ]
    if URF in formats:
        lines.append("ATTR keyword urf-supported V1.4,CP1,W8,RS300-600,IS1%s%s"
                     % (",SRGB24" if spec.color else "", ",DM1" if spec.duplex else ""))
    with open(BASE_ATTRS) as f:
        lines += [ln.rstrip("\n") for ln in f if ln.startswith("ATTR ")]
    lines += [ln.replace("{ip}", ip) for ln in spec.attributes]
    merged = {}
    for ln in lines:
        merged[ln.split()[2]] = ln  # dicts keep first-insertion order; the last line wins
    return list(merged.values())


def argv(spec, name, ip, spool, hook, attrs_path):
    """ippeveprinter's command line; writes the attribute file when the spec needs one."""
    args = ["ippeveprinter", "-vvv", "-r", "off", "-p", "631", "-k", "-d", spool, "-c", hook]
    if spec.location:
        args += ["-l", spec.location]
    if spec.max_version:
        args += ["-V", spec.max_version]
    if spec.attributes:
        with open(attrs_path, "w") as f:
            f.write("\n".join(attribute_lines(spec, ip)) + "\n")
        args += ["-a", attrs_path]
    else:
        args += ["-M", spec.make, "-m", spec.model, "-f", ",".join(spec.formats)]
        if spec.duplex:
            args.append("-2")
        # A colour speed above 0 makes ippeveprinter a colour printer.
        args += ["-s", "20,10" if spec.color else "20"]
    return args + [name]


def write_hook(path):
    """ippeveprinter's print command. ippeveprinter takes one job at a time and
    answers server-error-busy meanwhile, so the command only saves the job's
    environment (its IPP_* attributes) next to the kept file and ends;
    harness.jobs reads it."""
    with open(path, "w") as f:
        f.write('#!/bin/sh\nenv > "$1.env.tmp" && mv "$1.env.tmp" "$1.env"\n')
    os.chmod(path, 0o755)
