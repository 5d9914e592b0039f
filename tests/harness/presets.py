"""Ready-made fleets. Each printer's `expect` holds what a correct probe of it
yields (brand code, model, serial, colour mode, delivery mode, IPP version),
worked out by hand from its SNMP objects and IPP attributes."""

from . import snmp
from .printer_types import JPEG, PDF, PWG, URF, IppeveSpec, PrinterSpec, RawSpec, ResponderSpec

ENT = "1.3.6.1.4.1."


def _expect(brand, model, serial, color, mode, version="VERSION 2.0", listed=True):
    return {"brand_code": brand, "model": model, "serial": serial,
            "color_mode": "Color" if color else "Mono", "doc_type": mode, "ipp_version": version,
            "snmp_backend_lists": listed}


def standard():
    """One printer per brand rule of the SNMP identification, all on IPP and
    (except epson) on the raw port, which the CUPS SNMP backend needs to list
    them. Hosts .10 to .21 of the fleet's /24."""
    hex_model = "兄弟彩色激光打印机 HL-L8360CDW".encode("gb2312")
    return [
        PrinterSpec(
            "hp", host=10, raw=RawSpec(),
            ipp=IppeveSpec("HP", "LaserJet Pro M404dn", (PDF, PWG, URF), color=False, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "11.2.3.9.1", "HP ETHERNET MULTI-ENVIRONMENT,ROM none,JETDIRECT,JD153,EEPROM JSI23900",
                "NPI8C2D3A", "HP LaserJet Pro M404dn", "PHBQB04213", location="Office 3F",
                device_id="MFG:HP;MDL:LaserJet Pro M404dn;CMD:PJL,PDF,PWG,URF;"),
            expect=_expect("05", "HP LaserJet Pro M404dn", "PHBQB04213", False, "pdf")),
        PrinterSpec(
            "toshiba", host=11, raw=RawSpec(),
            ipp=IppeveSpec("TOSHIBA", "e-STUDIO3015AC", (PDF, PWG), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "1129.2.3.66.1", "TOSHIBA e-STUDIO3015AC", "MFP13579", "TOSHIBA e-STUDIO3015AC",
                "CNJJ44218", device_id="MFG:TOSHIBA;MDL:e-STUDIO3015AC;CMD:PJL,PDF;"),
            expect=_expect("01", "TOSHIBA e-STUDIO3015AC", "CNJJ44218", True, "dirpdf")),
        PrinterSpec(
            "xerox", host=12, raw=RawSpec(),
            ipp=IppeveSpec("Xerox", "VersaLink C405", (PDF, PWG, URF), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "253.8.62.1.24.2.1.1", "Xerox VersaLink C405 MFP; SS 1.61.23, NC 71.61.23",
                "XRX9C934E2D1A5B", "Xerox VersaLink C405", "3390722149"),
            expect=_expect("03", "Xerox VersaLink C405", "3390722149", True, "dirpdf")),
        PrinterSpec(
            "km", host=13, raw=RawSpec(),
            ipp=IppeveSpec("KONICA MINOLTA", "bizhub C300i", (PDF,), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "18334.1.1.1.2.1.130", "KONICA MINOLTA bizhub C300i", "KMBT-C300I",
                "KONICA MINOLTA bizhub C300i", "AA2J021012345"),
            expect=_expect("08", "KONICA MINOLTA bizhub C300i", "AA2J021012345", True, "dirpdf")),
        PrinterSpec(
            "km-aurora", host=14, raw=RawSpec(),
            ipp=IppeveSpec("KONICA MINOLTA", "bizhub 4020i", (PDF, PWG), color=False, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "18334.1.2", "KONICA MINOLTA bizhub 4020i Aurora", "KM4020I",
                "KONICA MINOLTA bizhub 4020i", "A7PX021067890"),
            expect=_expect("13", "KONICA MINOLTA bizhub 4020i", "A7PX021067890", False, "dirpdf")),
        PrinterSpec(
            "sharp", host=15, raw=RawSpec(),
            ipp=IppeveSpec("SHARP", "MX-3071", (PDF, PWG), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "2385.3.1.48", "SHARP MX-3071", "SHARP-MX3071", "SHARP MX-3071", "0503779200"),
            expect=_expect("09", "SHARP MX-3071", "0503779200", True, "dirpdf")),
        # A Pantum that identifies through the Lexmark enterprise: the serial
        # lives in Lexmark's object; the other two serial objects answer
        # differently so a wrong choice shows.
        PrinterSpec(
            "lexmark-pantum", host=16, raw=RawSpec(),
            ipp=IppeveSpec("Pantum", "M7300FDW", (PWG, URF), color=False, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "641.1.5.7", "Pantm M7300FDW Series NIC V2.1", "PANTUM-M7300", "Pantum M7300FDW",
                "PRTMIB0641", extra={snmp.LEXMARK_PANTUM_SERIAL: ("string", "CB2Y012345"),
                                     snmp.PANTUM_SERIAL: ("string", "PANTUM0641")}),
            expect=_expect("18", "Pantum M7300FDW", "CB2Y012345", False, "pwg")),
        PrinterSpec(
            "pantum", host=17, raw=RawSpec(),
            ipp=IppeveSpec("Pantum", "P3300DW", (PWG, URF), color=False, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "40093.1.1.3", "Pantum P3300DW Series", "PANTUM-P3300", "Pantum P3300DW",
                "PRTMIB40093", extra={snmp.PANTUM_SERIAL: ("string", "CC1A054321")}),
            expect=_expect("18", "Pantum P3300DW", "CC1A054321", False, "pwg")),
        # No raw port: the CUPS SNMP backend does not list it.
        PrinterSpec(
            "epson", host=18,
            ipp=IppeveSpec("EPSON", "WF-C5790 Series", (URF, JPEG), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "1248.1.2.2.28.1.1", "EPSON Built-in 10Base-T/100Base-TX Print Server",
                "EPSON3A5B7C", "EPSON WF-C5790 Series", "PRTMIB1248",
                extra={snmp.EPSON_SERIAL: ("string", "X3GH001234")}),
            expect=_expect("16", "EPSON WF-C5790 Series", "X3GH001234", True, "ap_urf", listed=False)),
        # Enterprise 2001 (OKI) is not in the brand table.
        PrinterSpec(
            "unknown", host=19, raw=RawSpec(),
            ipp=IppeveSpec("OKI", "C650", (PDF, PWG), color=True, duplex=False),
            snmp=snmp.printer_agent(
                ENT + "2001.1.1.1.1.11.1.10.90", "OKI OkiLAN 8100e Rev.02.81 10/100BASE Ethernet PrintServer",
                "OKI-C650", "OKI C650", "AK1C001234"),
            expect=_expect("00", "OKI C650", "AK1C001234", True, "pdf")),
        # The Printer-MIB name answers GB2312 bytes, which snmpget prints as a
        # hex dump; the model then comes from sysName.
        PrinterSpec(
            "hexmodel", host=20, raw=RawSpec(),
            ipp=IppeveSpec("Brother", "HL-L8360CDW", (PDF, PWG, URF), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "2435.2.3.9.1", "Brother NC-8800w, Firmware Ver.1.05", "Brother HL-L8360CDW series",
                hex_model, "E78021K0N123456", make_and_model="Brother HL-L8360CDW series"),
            expect=_expect("15", "Brother HL-L8360CDW series", "E78021K0N123456", True, "pdf")),
        # Answers IPP 2.0 with server-error-version-not-supported, 1.1 normally.
        PrinterSpec(
            "ladder", host=21, raw=RawSpec(),
            ipp=ResponderSpec("Kyocera", "ECOSYS P3145dn", (PDF, PWG), color=False, duplex=True,
                              max_version="1.1"),
            snmp=snmp.printer_agent(
                ENT + "1347.41", "KYOCERA Document Solutions Printing System", "KM5C2A1E",
                "ECOSYS P3145dn", "VCF9Z01234"),
            expect=_expect("04", "ECOSYS P3145dn", "VCF9Z01234", False, "pdf", version="VERSION 1.1")),
    ]


def delivery():
    """Printers for delivery paths, without SNMP. Hosts .10 to .14."""
    return [
        PrinterSpec("pdf", host=10, raw=RawSpec(),
                    ipp=IppeveSpec("HP", "LaserJet Pro M404dn", (PDF, PWG, URF), color=True, duplex=True)),
        PrinterSpec("pantum", host=11,
                    ipp=IppeveSpec("Pantum", "P3300DW", (PWG, URF), color=False, duplex=True)),
        PrinterSpec("urf", host=12,
                    ipp=IppeveSpec("Apple", "AirPrint Laser", (URF, PWG), color=True, duplex=True)),
        # Refuses jobs for its first 10 queries (Printer.set_refusals changes that).
        PrinterSpec("busy", host=13,
                    ipp=ResponderSpec("Canon", "iR-ADV C3530", (PDF,), color=True, duplex=True,
                                      refuse_queries=10)),
        # Advertises an ipps printer-uri-supported and speaks TLS on 631.
        PrinterSpec("secure", host=14,
                    ipp=ResponderSpec("Ricoh", "IM C3000", (PDF, PWG), color=True, duplex=True, tls=True)),
    ]


def demo():
    """The run command's office: a Sharp with finishing that takes PDF in a PJL
    header on 9100, and an IPP Everywhere printer without a raw port. Hosts .10
    and .11."""
    return [
        PrinterSpec(
            "sharp", host=10, raw=RawSpec(),
            ipp=IppeveSpec("SHARP", "MX-3071", (PDF, PWG), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "2385.3.1.48", "SHARP MX-3071", "SHARP-MX3071", "SHARP MX-3071", "0503779200",
                location="2F copy room"),
            expect=_expect("09", "SHARP MX-3071", "0503779200", True, "dirpdf")),
        PrinterSpec(
            "everywhere", host=11,
            ipp=IppeveSpec("HP", "Color LaserJet Pro M479fdw", (PDF, PWG, URF), color=True, duplex=True),
            snmp=snmp.printer_agent(
                ENT + "11.2.3.9.1", "HP ETHERNET MULTI-ENVIRONMENT,ROM none,JETDIRECT,JD153,EEPROM JSI23900",
                "NPI5A7B2C", "HP Color LaserJet Pro M479fdw", "CNBRM8P0KX", location="3F open office"),
            expect=_expect("05", "HP Color LaserJet Pro M479fdw", "CNBRM8P0KX", True, "pdf", listed=False)),
    ]


PRESETS = {"standard": standard, "delivery": delivery, "demo": demo}
