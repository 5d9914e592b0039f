"""The queue's driver on a real cupsd: the PPD passes cupstestppd, and lp's options
reach the spooled document as the option block in front of an unchanged PDF."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from sysfix.accounts import LocalAccounts, is_root
from sysfix.cupsd import CupsServer
from sysfix.paths import SOURCE_DIR, binary

PPD = os.path.join(SOURCE_DIR, "driver", "tavrin.ppd")
FILTER = binary("driver", "tavrinkwpdf")
QUEUE = "塔文"
USER = "tavtest-driver"


def make_pdf(path, pages=2):
    subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-o", path, "-c",
                    " ".join(["/Helvetica findfont 24 scalefont setfont 72 700 moveto (Page %d) show showpage" % i
                              for i in range(1, pages + 1)])], check=True)


def split_block(data):
    """(block lines, the rest) of a spooled document."""
    head, sep, rest = data.partition(b"%KWPDF_END\n")
    if not sep or not head.startswith(b"%KWPDF\n"):
        return None, data
    return head[len(b"%KWPDF\n"):].decode().splitlines(), rest


class PpdTest(unittest.TestCase):
    def test_cupstestppd_passes(self):
        root = tempfile.mkdtemp(prefix="tavrin-ppd-root-")
        try:
            filters = os.path.join(root, "usr", "lib", "cups", "filter")
            os.makedirs(filters)
            shutil.copy(FILTER, os.path.join(filters, "tavrinkwpdf"))
            r = subprocess.run(["cupstestppd", "-R", root, "-W", "translations", PPD], capture_output=True,
                               text=True)
            self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
            self.assertIn("PASS", r.stdout)
        finally:
            shutil.rmtree(root)


class FilterProcessTest(unittest.TestCase):
    def run_filter(self, data, options="", ppd=PPD):
        env = dict(os.environ, PPD=ppd)
        return subprocess.run([FILTER, "1", "alice", "t", "1", options], input=data, env=env, capture_output=True,
                              timeout=30)

    def test_not_a_pdf_fails_the_job_cleanly(self):
        for data in (b"", b"%!PS-Adobe-3.0\n", b"plain text\n", b"%PD"):
            with self.subTest(data=data):
                r = self.run_filter(data)
                self.assertEqual(r.returncode, 1)
                self.assertEqual(r.stdout, b"")
                self.assertTrue(r.stderr.startswith(b"ERROR: "), r.stderr)

    def test_pdf_passes_unchanged_behind_the_block(self):
        pdf = b"%PDF-1.7\n" + bytes(range(256)) * 1000 + b"\n%%EOF\n"
        r = self.run_filter(pdf, "ColorModel=Gray Duplex=DuplexTumble KWStaple=StapleTopRight")
        self.assertEqual(r.returncode, 0, r.stderr)
        block, rest = split_block(r.stdout)
        self.assertEqual(rest, pdf)
        self.assertIn("KWColorMode=Gray", block)
        self.assertIn("KWDuplex=2", block)
        self.assertIn("KWStaple=StapleTopRight", block)


@unittest.skipUnless(is_root(), "cupsd runs the backend as root")
class DriverOnCupsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavrin-driver-")
        os.chmod(cls.tmp, 0o755)
        cls.file_dir = os.path.join(cls.tmp, "files")
        os.makedirs(os.path.join(cls.file_dir, "bin"))
        cls.spool = os.path.join(cls.file_dir, "bin", "tavrin", USER)
        cls.accounts = LocalAccounts(USER).__enter__()
        try:
            cls.cups = CupsServer(binary("backend", "kwprint"), filters={"tavrinkwpdf": FILTER},
                                  env={"TAVRIN_FILE_DIR": cls.file_dir,
                                       "TAVRIN_BACKEND_LOG": os.path.join(cls.tmp, "back.log")}).__enter__()
            cls.cups.run("lpadmin", "-p", QUEUE, "-E", "-v", "tavrin://printer", "-P", PPD)
        except BaseException:
            cls.tearDownClass()
            raise
        cls.pdf = os.path.join(cls.tmp, "doc.pdf")
        make_pdf(cls.pdf, pages=3)
        os.chmod(cls.pdf, 0o644)

    @classmethod
    def tearDownClass(cls):
        if getattr(cls, "cups", None):
            cls.cups.__exit__(None, None, None)
        cls.accounts.__exit__(None, None, None)
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def print_job(self, *options, document=None):
        """Submits a job and returns (block lines, PDF bytes, control text) as kwprint spooled them."""
        before = set(os.listdir(self.spool)) if os.path.isdir(self.spool) else set()
        out = self.cups.run("lp", "-d", QUEUE, "-U", USER, *options, document or self.pdf).stdout
        job = int(re.search(r"-(\d+) ", out).group(1))
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            now = set(os.listdir(self.spool)) if os.path.isdir(self.spool) else set()
            markers = [n for n in now - before if n.endswith(".done")]
            if markers:
                doc = os.path.join(self.spool, markers[0][:-len(".done")])
                with open(doc, "rb") as f:
                    block, rest = split_block(f.read())
                with open(doc + ".ctrl") as f:
                    control = f.read()
                return block, rest, control
            if "[Job %d] Job stopped" % job in self.cups.read_error_log() or \
                    "[Job %d] Job canceled" % job in self.cups.read_error_log():
                break
            time.sleep(0.05)
        self.fail("job %d did not reach the spool:\n%s" % (job, self.cups.read_error_log()[-3000:]))

    def page_count(self, pdf_bytes):
        path = os.path.join(self.tmp, "check.pdf")
        with open(path, "wb") as f:
            f.write(pdf_bytes)
        info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, check=True).stdout
        return int(re.search(r"Pages:\s+(\d+)", info).group(1))

    def test_options_reach_the_block(self):
        cases = (
            ((), {"KWColorMode": "Color", "KWDuplex": "1", "InputSlot": "Auto", "KWStaple": "None"}),
            (("-o", "ColorModel=Gray", "-o", "Duplex=DuplexNoTumble", "-o", "InputSlot=Tray2", "-o",
              "KWStaple=StapleTopLeft"),
             {"KWColorMode": "Gray", "KWDuplex": "3", "InputSlot": "Tray2", "KWStaple": "StapleTopLeft"}),
            # The IPP attributes of a print dialog map onto the same options.
            (("-o", "sides=two-sided-short-edge"), {"KWDuplex": "2"}),
            (("-o", "print-color-mode=monochrome", "-o", "media=A3"), {"KWColorMode": "Gray"}),
            (("-o", "KWPunch=LeftEdge", "-o", "KWNumPunchHoles=3Holes", "-o", "KWFinishOutSize=A4", "-o",
              "KWImageQuality=High", "-o", "KWPrintAsImage=True"),
             {"KWPunch": "LeftEdge", "KWNumPunchHoles": "1", "KWFinishOutSize": "2", "KWImageQuality": "1",
              "KWPrintAsImage": "1"}),
            # A booklet wins over stapling; unknown values fall back to the queue's default.
            (("-o", "KWBooklet=1", "-o", "KWStaple=StapleTopLeft"), {"KWBooklet": "1", "KWStaple": "None"}),
            (("-o", "KWStaple=Sideways", "-o", "InputSlot=Tray9"), {"KWStaple": "None", "InputSlot": "Auto"}),
        )
        for options, expected in cases:
            with self.subTest(options=options):
                block, pdf, _ = self.print_job(*options)
                self.assertIsNotNone(block, "no option block")
                values = dict(line.split("=", 1) for line in block)
                self.assertEqual(len(values), len(block), "one line per key")
                for key, value in expected.items():
                    self.assertEqual(values.get(key), value, key)
                self.assertTrue(pdf.startswith(b"%PDF-"))
                self.assertEqual(self.page_count(pdf), 3)

    def test_copies_are_left_to_the_printer(self):
        block, pdf, control = self.print_job("-n", "3", "-t", "Quarterly Report.pdf")
        self.assertEqual(self.page_count(pdf), 3, "CUPS must not multiply the pages")
        self.assertIn("COPY=3\n", control)
        self.assertIn("DOCNAME=Quarterly Report.pdf\n", control)

    def test_queue_defaults_apply_when_the_job_sets_nothing(self):
        self.cups.run("lpadmin", "-p", QUEUE, "-o", "KWStaple-default=StapleDualTop", "-o", "ColorModel-default=Gray")
        try:
            block, _, _ = self.print_job()
            values = dict(line.split("=", 1) for line in block)
            self.assertEqual(values["KWStaple"], "StapleDualTop")
            self.assertEqual(values["KWColorMode"], "Gray")
            block, _, _ = self.print_job("-o", "ColorModel=RGB")
            self.assertEqual(dict(line.split("=", 1) for line in block)["KWColorMode"], "Color")
        finally:
            self.cups.run("lpadmin", "-p", QUEUE, "-o", "KWStaple-default=None", "-o", "ColorModel-default=RGB")


if __name__ == "__main__":
    unittest.main()
