"""The standard preset: every printer answers what its description and its
expectations say, over IPP, SNMP and the CUPS SNMP backend."""

import tempfile
import unittest

from harness import Fleet, PRESETS, backend_env, run_backend
from harness import snmp, tools


def _snmp_text(typ, value):
    """What snmpget -O vq prints for one table value."""
    if typ == "oid":
        return "iso." + value.split(".", 1)[1]
    if typ == "hex":
        return None  # checked by the fleet test
    return '"%s"' % value


class StandardPresetTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.fleet = Fleet(PRESETS["standard"](), name="harness-test-standard")
        cls.fleet.up()

    @classmethod
    def tearDownClass(cls):
        cls.fleet.down()

    def test_brands_cover_the_identification_rules(self):
        codes = sorted(p.expect["brand_code"] for p in self.fleet)
        self.assertEqual(codes, ["00", "01", "03", "04", "05", "08", "09", "13", "15", "16", "18", "18"])
        modes = {p.expect["doc_type"] for p in self.fleet}
        self.assertEqual(modes, {"pdf", "dirpdf", "pwg", "ap_urf"})

    def test_ipp_answers_match_each_printer(self):
        for p in self.fleet:
            with self.subTest(printer=p.name):
                version = "1.1" if p.expect["ipp_version"] == "VERSION 1.1" else "2.0"
                rc, out = tools.get_attributes(p.uri, version=version)
                self.assertEqual(rc, 0, out)
                attrs = tools.attributes(out)
                self.assertEqual(attrs["printer-make-and-model"], "%s %s" % (p.ipp["make"], p.ipp["model"]))
                formats = attrs["document-format-supported"].split(",")
                self.assertTrue(set(p.ipp["formats"]) <= set(formats), formats)
                has_color = "color" in attrs["print-color-mode-supported"].lower()
                self.assertEqual(has_color, p.expect["color_mode"] == "Color")

    def test_snmp_answers_every_table_object(self):
        for p in self.fleet:
            for oid, (typ, value) in sorted(p.snmp["objects"].items()):
                want = _snmp_text(typ, value)
                if want is None:
                    continue
                with self.subTest(printer=p.name, oid=oid):
                    self.assertEqual(tools.snmpget(p.ip, oid), (0, want + "\n"))

    def test_expected_serial_is_in_the_table(self):
        for p in self.fleet:
            with self.subTest(printer=p.name):
                serials = [v for oid, (t, v) in p.snmp["objects"].items()
                           if oid in (snmp.PRT_GENERAL_SERIAL, snmp.EPSON_SERIAL, snmp.PANTUM_SERIAL,
                                      snmp.LEXMARK_PANTUM_SERIAL)]
                self.assertIn(p.expect["serial"], serials)

    def test_cups_snmp_backend_lists_printers_with_raw_port(self):
        with tempfile.TemporaryDirectory() as d:
            lines = run_backend(backend_env(self.fleet, d))
        listed = sorted(line.split()[1] for line in lines if line.startswith("network "))
        want = sorted("socket://%s" % p.ip for p in self.fleet if p.expect["snmp_backend_lists"])
        self.assertEqual(listed, want)


if __name__ == "__main__":
    unittest.main()
