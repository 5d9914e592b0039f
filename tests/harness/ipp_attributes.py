"""Printer attributes of a simulated IPP printer, built from its IppSpec-like
dict, for the small responder (ippeveprinter builds its own)."""

from . import ipp

# ISO sizes the simulated printers offer, in hundredths of a millimetre.
_MEDIA = [
    ("iso_a4_210x297mm", 21000, 29700),
    ("iso_a3_297x420mm", 29700, 42000),
    ("iso_a5_148x210mm", 14800, 21000),
    ("na_letter_8.5x11in", 21590, 27940),
]

_TAG_BY_NAME = {name: tag for tag, name in ipp.TAG_NAMES.items()}


def tag_by_name(name):
    try:
        return _TAG_BY_NAME[name]
    except KeyError:
        raise ValueError("unknown IPP value tag name: %s" % name) from None


def _media_col(name, x, y, source=None):
    members = [
        ("media-size", ipp.BEG_COLLECTION,
         [[("x-dimension", ipp.INTEGER, [x]), ("y-dimension", ipp.INTEGER, [y])]]),
        ("media-size-name", ipp.KEYWORD, [name]),
        ("media-bottom-margin", ipp.INTEGER, [423]),
        ("media-left-margin", ipp.INTEGER, [423]),
        ("media-right-margin", ipp.INTEGER, [423]),
        ("media-top-margin", ipp.INTEGER, [423]),
    ]
    if source:
        members.append(("media-source", ipp.KEYWORD, [source]))
    return members


def printer_attributes(desc, uris):
    """[(name, tag, values)] for one printer; desc keys: make, model, name,
    formats, color, duplex, media_sources, versions, extra ([name, tagname,
    values]) which replace attributes of the same name."""
    make, model = desc["make"], desc["model"]
    make_and_model = desc.get("make_and_model") or "%s %s" % (make, model)
    formats = list(desc["formats"])
    color = desc.get("color", False)
    sides = ["one-sided"]
    if desc.get("duplex", False):
        sides += ["two-sided-long-edge", "two-sided-short-edge"]
    sources = desc.get("media_sources") or ["auto", "tray-1", "manual"]
    versions = desc.get("versions") or ["1.1", "2.0"]
    color_modes = ["auto", "monochrome", "color"] if color else ["monochrome"]
    cmd = ",".join({"application/pdf": "PDF", "image/pwg-raster": "PWG", "image/urf": "URF"}
                   .get(f, f.split("/")[-1].upper()) for f in formats)
    attrs = [
        ("printer-uri-supported", ipp.URI, list(uris)),
        ("uri-security-supported", ipp.KEYWORD,
         ["tls" if u.startswith("ipps:") else "none" for u in uris]),
        ("uri-authentication-supported", ipp.KEYWORD, ["none"] * len(uris)),
        ("printer-name", ipp.NAME, [desc["name"]]),
        ("printer-info", ipp.TEXT, [desc["name"]]),
        ("printer-location", ipp.TEXT, [desc.get("location", "")]),
        ("printer-make-and-model", ipp.TEXT, [make_and_model]),
        ("printer-device-id", ipp.TEXT, ["MFG:%s;MDL:%s;CMD:%s;" % (make, model, cmd)]),
        ("printer-uuid", ipp.URI, ["urn:uuid:%s" % desc.get("uuid", "00000000-0000-0000-0000-000000000000")]),
        ("printer-state", ipp.ENUM, [3]),
        ("printer-state-reasons", ipp.KEYWORD, ["none"]),
        ("printer-state-message", ipp.TEXT, ["Idle."]),
        ("printer-is-accepting-jobs", ipp.BOOLEAN, [True]),
        ("queued-job-count", ipp.INTEGER, [0]),
        ("ipp-versions-supported", ipp.KEYWORD, versions),
        ("operations-supported", ipp.ENUM,
         [ipp.OP_PRINT_JOB, ipp.OP_VALIDATE_JOB, ipp.OP_CANCEL_JOB, ipp.OP_GET_JOB_ATTRIBUTES,
          ipp.OP_GET_JOBS, ipp.OP_GET_PRINTER_ATTRIBUTES]),
        ("charset-configured", ipp.CHARSET, ["utf-8"]),
        ("charset-supported", ipp.CHARSET, ["us-ascii", "utf-8"]),
        ("natural-language-configured", ipp.LANGUAGE, ["en"]),
        ("generated-natural-language-supported", ipp.LANGUAGE, ["en"]),
        ("compression-supported", ipp.KEYWORD, ["none"]),
        ("pdl-override-supported", ipp.KEYWORD, ["attempted"]),
        ("document-format-default", ipp.MIME_TYPE, ["application/octet-stream"]),
        ("document-format-supported", ipp.MIME_TYPE, formats),
        ("color-supported", ipp.BOOLEAN, [color]),
        ("print-color-mode-default", ipp.KEYWORD, [color_modes[0]]),
        ("print-color-mode-supported", ipp.KEYWORD, color_modes),
        ("sides-default", ipp.KEYWORD, ["one-sided"]),
        ("sides-supported", ipp.KEYWORD, sides),
        ("copies-default", ipp.INTEGER, [1]),
        ("copies-supported", ipp.RANGE, [(1, 999)]),
        ("multiple-document-handling-supported", ipp.KEYWORD,
         ["separate-documents-uncollated-copies", "separate-documents-collated-copies"]),
        ("job-creation-attributes-supported", ipp.KEYWORD,
         ["copies", "media", "media-col", "multiple-document-handling", "print-color-mode", "sides"]),
        ("media-default", ipp.KEYWORD, [_MEDIA[0][0]]),
        ("media-supported", ipp.KEYWORD, [m[0] for m in _MEDIA]),
        ("media-ready", ipp.KEYWORD, [_MEDIA[0][0]]),
        ("media-size-supported", ipp.BEG_COLLECTION,
         [[("x-dimension", ipp.INTEGER, [x]), ("y-dimension", ipp.INTEGER, [y])] for _, x, y in _MEDIA]),
        ("media-col-default", ipp.BEG_COLLECTION, [_media_col(*_MEDIA[0])]),
        ("media-col-ready", ipp.BEG_COLLECTION, [_media_col(*_MEDIA[0], source=sources[0])]),
        ("media-col-database", ipp.BEG_COLLECTION, [_media_col(*m) for m in _MEDIA]),
        ("media-col-supported", ipp.KEYWORD,
         ["media-size", "media-size-name", "media-source", "media-bottom-margin",
          "media-left-margin", "media-right-margin", "media-top-margin"]),
        ("media-source-supported", ipp.KEYWORD, sources),
        ("media-bottom-margin-supported", ipp.INTEGER, [423]),
        ("media-left-margin-supported", ipp.INTEGER, [423]),
        ("media-right-margin-supported", ipp.INTEGER, [423]),
        ("media-top-margin-supported", ipp.INTEGER, [423]),
        ("printer-resolution-default", ipp.RESOLUTION, [(600, 600, 3)]),
        ("printer-resolution-supported", ipp.RESOLUTION, [(300, 300, 3), (600, 600, 3)]),
        ("print-quality-default", ipp.ENUM, [4]),
        ("print-quality-supported", ipp.ENUM, [3, 4, 5]),
        ("output-bin-default", ipp.KEYWORD, ["face-down"]),
        ("output-bin-supported", ipp.KEYWORD, ["face-down"]),
    ]
    if "image/pwg-raster" in formats:
        attrs += [
            ("pwg-raster-document-resolution-supported", ipp.RESOLUTION, [(300, 300, 3), (600, 600, 3)]),
            ("pwg-raster-document-type-supported", ipp.KEYWORD,
             ["black_1", "sgray_8"] + (["srgb_8"] if color else [])),
            ("pwg-raster-document-sheet-back", ipp.KEYWORD, ["rotated"]),
        ]
    if "image/urf" in formats:
        urf = ["V1.4", "CP1", "W8", "RS300-600", "IS1"] + (["SRGB24"] if color else [])
        if desc.get("duplex", False):
            urf.append("DM1")
        attrs.append(("urf-supported", ipp.KEYWORD, urf))
    for name, tagname, values in desc.get("extra", []):
        tag = tag_by_name(tagname)
        values = values if isinstance(values, list) else [values]
        if tag == ipp.RANGE or tag == ipp.RESOLUTION:
            values = [tuple(v) for v in values]
        attrs = [a for a in attrs if a[0] != name] + [(name, tag, values)]
    return attrs
