"""The simulated printers answer the real tools as real printers do:
ipptool, snmpget/snmpwalk, the CUPS SNMP backend and raw TCP senders."""

import hashlib
import ipaddress
import os
import socket
import subprocess
import tempfile
import unittest

from harness import (PDF, PWG, URF, Fleet, IppeveSpec, PrinterSpec, RawSpec, ResponderSpec,
                     backend_env, printer_agent, run_backend)
from harness import snmp, tools

ENT = "1.3.6.1.4.1."
GB2312_MODEL = "彩色激光打印机 HL-L8360CDW".encode("gb2312")


def fleet_specs():
    return [
        PrinterSpec("eve", raw=RawSpec(),
                    ipp=IppeveSpec("HP", "Color LaserJet M479fdw", (PDF, PWG, URF), color=True, duplex=True),
                    snmp=printer_agent(ENT + "11.2.3.9.1", "HP ETHERNET MULTI-ENVIRONMENT", "NPI0042",
                                       "HP Color LaserJet M479fdw", "CNB1234567", location="Room 12")),
        PrinterSpec("hex", raw=RawSpec(),
                    ipp=IppeveSpec("Brother", "HL-L8360CDW", (PWG, URF), color=False),
                    snmp=printer_agent(ENT + "2435.2.3.9.1", "Brother NC-8800w", "Brother HL-L8360CDW series",
                                       GB2312_MODEL, "E78021K0N1")),
        PrinterSpec("ladder", ipp=ResponderSpec("Kyocera", "ECOSYS P3145dn", (PDF, PWG), max_version="1.1"),
                    snmp=printer_agent(ENT + "1347.41", "KYOCERA Document Solutions", "KM1", "ECOSYS P3145dn",
                                       "VCF9Z01234")),
        PrinterSpec("busy", ipp=ResponderSpec("Canon", "iR-ADV C3530", (PDF,), color=True, refuse_queries=3)),
        PrinterSpec("secure", ipp=ResponderSpec("Ricoh", "IM C3000", (PDF, PWG), tls=True)),
        PrinterSpec("attrs", ipp=IppeveSpec("Sharp", "MX-B455W", (PDF,), attributes=[
            "ATTR keyword media-source-supported auto,tray-1,tray-2,by-pass-tray",
            "ATTR keyword urf-supported V1.4,CP1,W8,RS600"])),
    ]


class FleetTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.pdf = os.path.join(cls.tmp.name, "doc.pdf")
        with open(cls.pdf, "wb") as f:
            f.write(b"%PDF-1.4\n% harness test document\n" + bytes(range(256)) * 64 + b"\n%%EOF\n")
        cls.fleet = Fleet(fleet_specs(), name="harness-test-fleet")
        cls.fleet.up()

    @classmethod
    def tearDownClass(cls):
        cls.fleet.down()
        cls.tmp.cleanup()

    def setUp(self):
        for p in self.fleet:
            p.clear_jobs()

    # ------------------------------------------------------------ network
    def test_addresses_stay_inside_the_test_network(self):
        net = ipaddress.ip_network("198.18.0.0/15")
        self.assertIn(ipaddress.ip_address(self.fleet.host_ip), net)
        for p in self.fleet:
            self.assertIn(ipaddress.ip_address(p.ip), net)
            routes = subprocess.run(["ip", "-n", p.netns, "-4", "route"], stdout=subprocess.PIPE,
                                    text=True).stdout.strip().splitlines()
            self.assertEqual(len(routes), 1, routes)
            self.assertTrue(routes[0].startswith("198.18.%d.0/24 dev eth0" % self.fleet.subnet), routes)

    # ------------------------------------------------------------ IPP
    def test_ippeveprinter_answers_its_configuration(self):
        rc, out = tools.get_attributes(self.fleet["eve"].uri)
        self.assertEqual(rc, 0, out)
        attrs = tools.attributes(out)
        self.assertEqual(attrs["printer-make-and-model"], "HP Color LaserJet M479fdw")
        self.assertEqual(attrs["document-format-supported"],
                         "application/octet-stream,application/pdf,image/pwg-raster,image/urf")
        self.assertIn("color", attrs["print-color-mode-supported"].split(","))
        self.assertIn("two-sided-long-edge", attrs["sides-supported"])
        self.assertTrue(attrs["printer-uri-supported"].startswith("ipp://%s:631/" % self.fleet["eve"].ip))
        rc, out = tools.get_attributes(self.fleet["hex"].uri)
        attrs = tools.attributes(out)
        self.assertEqual(attrs["print-color-mode-supported"], "monochrome")
        self.assertNotIn("application/pdf", attrs["document-format-supported"])

    def test_ippeveprinter_keeps_document_and_job_attributes(self):
        eve = self.fleet["eve"]
        rc, out = tools.print_job(eve.uri, self.pdf, job_name="TavRin:report {q3}", copies=3,
                                  sides="two-sided-long-edge", color="color")
        self.assertEqual(rc, 0, out)
        jobs = eve.ipp_jobs(1)
        self.assertEqual(len(jobs), 1)
        job = jobs[0]
        self.assertEqual(job["format"], "application/pdf")
        with open(self.pdf, "rb") as f:
            self.assertEqual(job["sha256"], hashlib.sha256(f.read()).hexdigest())
        with open(job["document"], "rb") as f:
            self.assertEqual(hashlib.sha256(f.read()).hexdigest(), job["sha256"])
        self.assertEqual(job["attributes"]["copies"], "3")
        self.assertEqual(job["attributes"]["sides"], "two-sided-long-edge")
        self.assertEqual(job["attributes"]["print-color-mode"], "color")
        self.assertEqual(job["attributes"]["job-name"], "TavRin:report {q3}")

    def test_successive_jobs_are_all_kept(self):
        # ippeveprinter takes one job at a time (server-error-busy meanwhile),
        # so each job is sent once the printer is idle again.
        eve = self.fleet["eve"]
        for n in range(1, 4):
            eve.wait_idle()
            rc, out = tools.print_job(eve.uri, self.pdf, fmt="image/pwg-raster")
            self.assertEqual(rc, 0, out)
        jobs = eve.ipp_jobs(3)
        self.assertEqual([j["format"] for j in jobs], ["image/pwg-raster"] * 3)
        self.assertEqual(len({j["job_id"] for j in jobs}), 3)

    def test_ippeveprinter_with_attribute_file(self):
        rc, out = tools.get_attributes(self.fleet["attrs"].uri)
        self.assertIn("successful-ok", out)
        self.assertIn("media-source-supported (1setOf keyword) = auto,tray-1,tray-2,by-pass-tray", out)
        self.assertIn("urf-supported (1setOf keyword) = V1.4,CP1,W8,RS600", out)
        self.assertIn("printer-make-and-model (textWithoutLanguage) = Sharp MX-B455W", out)
        # The file's document-format-supported comes first; ippeveprinter adds its own.
        first = [l for l in out.splitlines() if "document-format-supported" in l][0]
        self.assertTrue(first.strip().endswith("= application/pdf"), first)

    def test_version_ladder_printer(self):
        ladder = self.fleet["ladder"]
        rc, out = tools.get_attributes(ladder.uri, version="2.0")
        self.assertNotEqual(rc, 0)
        self.assertIn("server-error-version-not-supported", out)
        self.assertRegex(out, r"RECEIVED: [1-9]\d* bytes in")
        for version in ("1.1", "1.0"):
            rc, out = tools.get_attributes(ladder.uri, version=version)
            self.assertEqual(rc, 0, out)
            attrs = tools.attributes(out)
            self.assertEqual(attrs["printer-make-and-model"], "Kyocera ECOSYS P3145dn")
            self.assertEqual(attrs["document-format-supported"], "application/pdf,image/pwg-raster")
            self.assertEqual(attrs["printer-state"], "idle")
        rc, out = tools.print_job(ladder.uri, self.pdf, version="2.0")
        self.assertNotEqual(rc, 0)
        rc, out = tools.print_job(ladder.uri, self.pdf, version="1.1", copies=2)
        self.assertEqual(rc, 0, out)
        job = ladder.ipp_jobs(1)[0]
        self.assertEqual((job["version"], job["attributes"]["copies"]), ("1.1", "2"))

    def test_refusing_printer_accepts_after_n_queries(self):
        busy = self.fleet["busy"]
        busy.set_refusals(3)
        seen = []
        for _ in range(5):
            rc, out = tools.get_attributes(busy.uri, requested="printer-is-accepting-jobs,printer-uri-supported")
            self.assertEqual(rc, 0, out)
            seen.append(tools.attributes(out)["printer-is-accepting-jobs"])
        self.assertEqual(seen, ["false"] * 3 + ["true"] * 2)
        self.assertEqual(busy.queries(), 5)
        rc, out = tools.print_job(busy.uri, self.pdf)
        self.assertEqual(rc, 0, out)
        busy.set_refusals(2)
        tools.get_attributes(busy.uri)
        rc, out = tools.print_job(busy.uri, self.pdf)
        self.assertIn("server-error-not-accepting-jobs", out)
        self.assertEqual(len(busy.ipp_jobs(1)), 1)

    def test_ipps_printer(self):
        secure = self.fleet["secure"]
        rc, out = tools.get_attributes(secure.uri)
        self.assertEqual(rc, 0, out)
        self.assertEqual(tools.attributes(out)["printer-uri-supported"], "ipps://%s:631/ipp/print" % secure.ip)
        rc, out = tools.print_job("ipps://%s:631/ipp/print" % secure.ip, self.pdf, copies=2)
        self.assertEqual(rc, 0, out)
        self.assertEqual(secure.ipp_jobs(1)[0]["attributes"]["copies"], "2")

    # ------------------------------------------------------------ SNMP
    def test_snmp_answers_the_table_in_v1_and_v2c(self):
        eve = self.fleet["eve"]
        cases = [
            (snmp.SYS_OBJECT_ID, "iso.3.6.1.4.1.11.2.3.9.1"),
            (snmp.SYS_DESCR, '"HP ETHERNET MULTI-ENVIRONMENT"'),
            (snmp.SYS_NAME, '"NPI0042"'),
            (snmp.PRT_GENERAL_NAME, '"HP Color LaserJet M479fdw"'),
            (snmp.PRT_GENERAL_SERIAL, '"CNB1234567"'),
            (snmp.HR_DEVICE_TYPE, "iso.3.6.1.2.1.25.3.1.5"),
        ]
        for version in ("1", "2c"):
            for oid, want in cases:
                rc, out = tools.snmpget(eve.ip, oid, version=version)
                self.assertEqual((rc, out.strip()), (0, want), (version, oid))
        rc, out = tools.snmpget(eve.ip, snmp.EPSON_SERIAL)
        self.assertNotEqual(rc, 0)
        rc, out = tools.snmpget(eve.ip, snmp.SYS_OBJECT_ID, community="private")
        self.assertNotEqual(rc, 0)

    def test_snmpwalk_shows_exactly_the_table(self):
        eve = self.fleet["eve"]
        rc, out = tools.snmpwalk(eve.ip)
        self.assertEqual(rc, 0, out)
        walked = [line.split(" = ")[0].lstrip(".") for line in out.splitlines()
                  if " = " in line and "No more variables" not in line]
        self.assertEqual(sorted(walked), sorted(eve.snmp["objects"]))

    def test_non_text_model_is_a_hex_dump(self):
        rc, out = tools.snmpget(self.fleet["hex"].ip, snmp.PRT_GENERAL_NAME)
        self.assertEqual(rc, 0)
        pieces = out.replace('"', "").split()
        self.assertEqual(bytes.fromhex("".join(pieces)), GB2312_MODEL)
        rc, out = tools.snmpget(self.fleet["hex"].ip, snmp.SYS_NAME)
        self.assertEqual(out.strip(), '"Brother HL-L8360CDW series"')

    def test_cups_snmp_backend_lists_printers_with_raw_port(self):
        with tempfile.TemporaryDirectory() as d:
            lines = run_backend(backend_env(self.fleet, d))
        found = {line.split()[1]: line for line in lines if line.startswith("network ")}
        self.assertEqual(sorted(found), sorted("socket://%s" % self.fleet[n].ip for n in ("eve", "hex")))
        eve = found["socket://%s" % self.fleet["eve"].ip]
        self.assertIn('"HP Color LaserJet M479fdw"', eve)
        self.assertTrue(eve.endswith('"Room 12"'), eve)

    # ------------------------------------------------------------ raw port
    def test_raw_port_stores_each_connection(self):
        eve = self.fleet["eve"]
        payloads = [b"\x1b%-12345X@PJL\r\n" + os.urandom(300000), b"second job"]
        for data in payloads:
            self.assertEqual(tools.send_raw(eve.ip, 9100, data), (len(data), None))
        with socket.create_connection((eve.ip, 9100)):
            pass  # a port probe that sends nothing leaves no record
        jobs = eve.raw_jobs(2)
        self.assertEqual(len(jobs), 2)
        for job, data in zip(jobs, payloads):
            self.assertEqual((job["bytes"], job["ended_by"]), (len(data), "peer"))
            with open(job["document"], "rb") as f:
                self.assertEqual(f.read(), data)

    def test_raw_port_faults(self):
        eve = self.fleet["eve"]
        data = os.urandom(4 << 20)
        try:
            eve.set_raw("drop", after=512)
            sent, err = tools.send_raw(eve.ip, 9100, data)
            self.assertIsNotNone(err, "the sender must see the dropped connection")
            job = eve.raw_jobs(1)[0]
            self.assertEqual((job["bytes"], job["ended_by"]), (512, "fault"))
            with open(job["document"], "rb") as f:
                self.assertEqual(f.read(), data[:512])

            eve.set_raw("closed")
            with self.assertRaises(ConnectionRefusedError):
                socket.create_connection((eve.ip, 9100), timeout=5)

            eve.set_raw("normal", discard=True)
            self.assertEqual(tools.send_raw(eve.ip, 9100, data), (len(data), None))
            job = eve.raw_jobs(2)[1]
            self.assertEqual((job["document"], job["bytes"]), (None, len(data)))
            self.assertEqual(job["sha256"], hashlib.sha256(data).hexdigest())
        finally:
            eve.set_raw("normal")
        self.assertEqual(tools.send_raw(eve.ip, 9100, b"after"), (5, None))
        self.assertEqual(eve.raw_jobs(3)[2]["bytes"], 5)


if __name__ == "__main__":
    unittest.main()
