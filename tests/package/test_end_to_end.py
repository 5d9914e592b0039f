"""The installed package end to end: lp on a real cupsd runs the package's
driver and capture backend, the installed tavrinapp (on Xvfb with a tray)
picks the job up and delivers it to simulated printers in network namespaces.

The package really is installed (as root) and purged afterwards; nothing is
done on a machine where it is installed already.
"""
import json
import os
import shutil
import subprocess
import tempfile
import unittest

from harness.fleet import Fleet
from harness.printer_types import PDF, PWG, IppeveSpec, PrinterSpec, RawSpec
from service.fixture import ServiceProcess
from sysfix.accounts import is_root
from sysfix.cupsd import CupsServer
from sysfix.desktop import Desktop, program_log, protect, wait_for, without_leak_check
from sysfix.package import PACKAGE, build_deb, installed_version

FILES = "/opt/apps/com.kestrelware.tavrin/files"
PROGRAM = FILES + "/bin/tavrinapp"
BACKEND = "/usr/lib/cups/backend/tavrin"
FILTER = "/usr/lib/cups/filter/tavrinkwpdf"
QUEUE = "塔文"

UEL = b"\x1b%-12345X"
ENTER = b"@PJL ENTER LANGUAGE=PDF\n"
EOJ = UEL + b"@PJL EOJ\n" + UEL

# What an office user picks in the print dialog. The title reaches the printer
# with its blanks as "_".
DIALOG_OPTIONS = ["-o", "ColorModel=Gray", "-o", "Duplex=DuplexNoTumble", "-o", "InputSlot=Tray2",
                  "-o", "KWStaple=StapleTopLeft", "-n", "2", "-t", "Quarterly Report.pdf"]


def make_pdf(path, pages):
    subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-o", path, "-c",
                    " ".join(["/Helvetica findfont 24 scalefont setfont 72 700 moveto (Page %d) show showpage" % i
                              for i in range(1, pages + 1)])], check=True, timeout=60)


def page_count(data, tmp):
    path = os.path.join(tmp, "received.pdf")
    with open(path, "wb") as f:
        f.write(data)
    r = subprocess.run(["qpdf", "--show-npages", path], capture_output=True, text=True, timeout=60)
    return int(r.stdout) if r.returncode == 0 else -1


def stored(name, printer, brand, mode):
    return {"deviceId": "7d2e61c4-0b5f-4a8e-9c1d-%012d" % printer.ip.count("."), "clientId": "e2e-test",
            "deviceName": name, "deviceIpAddress": printer.ip, "deviceBrandCode": brand, "deviceModel": name,
            "deviceSerialNumber": "E2E" + brand, "colorMode": "Color", "mediaSourceSupported": "auto",
            "documentFormatSupported": "application/pdf", "deviceDocType": mode, "isFav": "Y",
            "m_modified_time": 1700000000000, "m_ipp_version": "VERSION 2.0"}


@unittest.skipUnless(is_root(), "installs a package, runs cupsd and network namespaces")
@unittest.skipIf(installed_version() is not None, "the package is installed on this machine already")
class InstalledSystemTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavrin-e2e-")
        os.chmod(cls.tmp, 0o755)
        cls.home = os.path.join(cls.tmp, "home")
        cls.runtime = os.path.join(cls.tmp, "runtime")
        os.makedirs(cls.home)
        os.makedirs(cls.runtime, 0o700)
        cls.cups = cls.app = None
        cls.desktop = Desktop()
        cls.service = ServiceProcess()
        raw_printer = dict(raw=RawSpec())
        cls.fleet = Fleet([
            PrinterSpec("sharp", host=10, ipp=IppeveSpec("SHARP", "MX-3071", (PDF, PWG), color=True, duplex=True),
                        **raw_printer),
            PrinterSpec("xerox", host=11, ipp=IppeveSpec("Xerox", "VersaLink C405", (PDF, PWG), color=True,
                                                         duplex=True), **raw_printer),
            PrinterSpec("office", host=12, ipp=IppeveSpec("HP", "Color LaserJet MFP M480f", (PDF, PWG),
                                                          color=True, duplex=True)),
        ], name="e2e-%d" % os.getpid())
        try:
            deb = build_deb(cls.tmp)
            r = subprocess.run(["dpkg", "-i", deb], capture_output=True, text=True)
            if r.returncode != 0:
                raise RuntimeError("dpkg -i failed: " + r.stdout + r.stderr)
            cls.cups = CupsServer(BACKEND, filters={"tavrinkwpdf": FILTER}).__enter__()
            cls.service.start()
            cls.fleet.up()
            cls.desktop.start()
            with open(os.path.join(FILES, "bin", "config.ini"), "w") as f:
                f.write("[Common]\nServiceUrl=%s\nServiceCA=%s\n" % (cls.service.url, cls.service.ca))
            cls.app = subprocess.Popen([PROGRAM], env=cls.program_env(), stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, start_new_session=True)
            # The first start offers the add-printer chain; the printers are stored by the tests.
            cls.desktop.press(cls.desktop.window("选择添加设备方式", 90), "Escape")
            wait_for(cls.queue_exists, 60, "the queue created by the program")
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.app and cls.app.poll() is None:
            cls.app.kill()
            cls.app.wait()
        if installed_version() is not None:
            subprocess.run(["dpkg", "--purge", PACKAGE], capture_output=True,
                           env=cls.cups.client_env() if cls.cups else None)
        if cls.cups:
            cls.cups.stop()
        cls.fleet.down()
        cls.service.stop()
        cls.desktop.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    @classmethod
    def program_env(cls):
        env = cls.desktop.env()
        env.update({"HOME": cls.home, "XDG_RUNTIME_DIR": cls.runtime, "USER": "root", "LANG": "zh_CN.UTF-8",
                    "CUPS_SERVER": cls.cups.socket, "QT_QPA_PLATFORM": "xcb"})
        for key in ("LC_ALL", "XDG_DATA_HOME", "TAVRIN_FILE_DIR"):
            env.pop(key, None)
        return without_leak_check(env)

    @classmethod
    def queue_exists(cls):
        return cls.cups.run("lpstat", "-p", QUEUE, check=False).returncode == 0

    # -- helpers ---------------------------------------------------------------------------
    def use_only(self, entry):
        """The user's printer list holds this one printer, so no choice is asked."""
        path = os.path.join(self.home, ".local", "share", "tavrinapp", "root_depP")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(protect(json.dumps([entry], indent=3, sort_keys=True)))

    def print_and_wait(self, printer, kind, options, pages=3):
        self.fleet[printer].clear_jobs()
        done = program_log(FILES + "/logs/app.log").count("print ok")
        document = os.path.join(self.tmp, "doc.pdf")
        make_pdf(document, pages)
        self.cups.run("lp", "-d", QUEUE, *options, document)
        get = self.fleet[printer].raw_jobs if kind == "raw" else self.fleet[printer].ipp_jobs
        jobs = get(1, timeout=120)
        self.assertEqual(len(jobs), 1, program_log(FILES + "/logs/app.log")[-20:])
        wait_for(lambda: program_log(FILES + "/logs/app.log").count("print ok") > done, 60, "'print ok'")
        with open(jobs[0]["document"], "rb") as f:
            return jobs[0], f.read()

    def split_wrapped(self, data, header):
        """Checks header and footer around an intact PDF of three pages."""
        self.assertTrue(data.startswith(header), data[:len(header) + 200])
        self.assertTrue(data.endswith(EOJ), data[-200:])
        pdf = data[len(header):-len(EOJ)]
        self.assertTrue(pdf.startswith(b"%PDF-"), pdf[:40])
        self.assertNotIn(b"@PJL", pdf)
        self.assertEqual(page_count(pdf, self.tmp), 3)
        return pdf

    # -- the tests, in order ---------------------------------------------------------------
    def test_1_the_program_made_the_queue_with_the_driver(self):
        out = self.cups.run("lpstat", "-v", QUEUE).stdout
        self.assertIn("tavrin://printer", out)
        # cupsd keeps the queue's copy of the driver's PPD.
        with open(os.path.join(self.cups.dir, "conf", "ppd", QUEUE + ".ppd"), encoding="utf-8") as f:
            ppd = f.read()
        with open("/usr/share/cups/model/com.kestrelware.tavrin/tavrin.ppd", encoding="utf-8") as f:
            self.assertEqual(ppd, f.read())

    def test_2_pjl_printer_gets_the_brands_header(self):
        self.use_only(stored("Sharp MX-3071", self.fleet["sharp"], "09", "dirpdf"))
        _, data = self.print_and_wait("sharp", "raw", DIALOG_OPTIONS)
        header = (UEL + b"@PJL\n@PJL SET COLORMODE=BW\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE\n"
                  b"@PJL SET QTY=2\n@PJL SET JOBNAME=\"Quarterly_Report.pdf\"\n@PJL SET BINDING=LONGEDGE\n"
                  b"@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=ONE\n@PJL SET MEDIASOURCE = TRAY2\n" + ENTER)
        self.split_wrapped(data, header)

    def test_3_ipp_printer_gets_pdf_with_the_job_attributes(self):
        self.use_only(stored("HP M480f", self.fleet["office"], "05", "pdf"))
        job, data = self.print_and_wait("office", "ipp", DIALOG_OPTIONS)
        self.assertEqual(job["format"], "application/pdf")
        self.assertEqual(page_count(data, self.tmp), 3)
        attributes = job["attributes"]
        self.assertEqual(attributes.get("copies"), "2")
        self.assertEqual(attributes.get("sides"), "two-sided-long-edge")
        self.assertEqual(attributes.get("print-color-mode"), "monochrome")
        self.assertEqual(attributes.get("job-name"), "TavRin:Quarterly_Report.pdf")

    def test_4_brand_03_gets_the_ticket_with_the_staple(self):
        self.use_only(stored("Xerox VersaLink C405", self.fleet["xerox"], "03", "dirpdf"))
        _, data = self.print_and_wait("xerox", "raw", DIALOG_OPTIONS)
        head, sep, _ = data.partition(b"</PwgPrintJobTicket>")
        self.assertTrue(sep, data[:2000])
        for part in (b"@PJL COMMENT DNAME=Quarterly_Report.pdf", b"<Copies>2</Copies>",
                     b"<Sides>TwoSidedLongEdge</Sides>", b"<ColorEffectsType>MonochromeGrayscale</ColorEffectsType>",
                     b"<Finishing>StapleTopLeft</Finishing>"):
            self.assertIn(part, head)
        self.assertIn(b"@PJL COMMENT FXJOBINFO DUPLEXTYPE=DUPLEX", data[-1000:])

    def test_5_queue_defaults_reach_the_printer(self):
        self.cups.run("lpadmin", "-p", QUEUE, "-o", "KWStaple=StapleDualLeft", "-o", "Duplex=DuplexTumble",
                      "-o", "ColorModel=Gray")
        try:
            self.use_only(stored("Sharp MX-3071", self.fleet["sharp"], "09", "dirpdf"))
            _, data = self.print_and_wait("sharp", "raw", ["-t", "Defaults.pdf"])
            header = (UEL + b"@PJL\n@PJL SET COLORMODE=BW\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=SHORTEDGE\n"
                      b"@PJL SET QTY=1\n@PJL SET JOBNAME=\"Defaults.pdf\"\n@PJL SET BINDING=LONGEDGE\n"
                      b"@PJL SET JOBOFFSET=ON\n@PJL SET STAPLEOPTION=TWO\n@PJL SET MEDIASOURCE = AUTO\n" + ENTER)
            self.split_wrapped(data, header)
        finally:
            self.cups.run("lpadmin", "-p", QUEUE, "-o", "KWStaple=None", "-o", "Duplex=None", "-o", "ColorModel=RGB")


if __name__ == "__main__":
    unittest.main()
