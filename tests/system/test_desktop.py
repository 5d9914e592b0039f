"""The desktop program as a user meets it: tavrinapp on an X server (Xvfb)
with trayer as the system tray, a private cupsd that runs the capture backend
for the queue "塔文", a simulated printer in a network namespace and the
loopback test service. The steps run in order on one running program: first
start, second instance, tray menu, a job printed with lp, exit.

Screenshots of what the user sees go to build/screenshots/.
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
from sysfix.desktop import Desktop, protect, reveal, wait_for, without_leak_check
from sysfix.paths import binary

QUEUE = "塔文"


@unittest.skipUnless(is_root(), "cupsd and network namespaces need root")
class DesktopProgramTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavrin-desktop-")
        os.chmod(cls.tmp, 0o755)
        cls.file_dir = os.path.join(cls.tmp, "files")
        cls.home = os.path.join(cls.tmp, "home")
        cls.runtime = os.path.join(cls.tmp, "runtime")
        for d in (os.path.join(cls.file_dir, "bin"), cls.home, cls.runtime):
            os.makedirs(d)
        os.chmod(cls.runtime, 0o700)
        cls.desktop = Desktop()
        cls.service = ServiceProcess()
        cls.fleet = Fleet([PrinterSpec("desk", host=10, raw=RawSpec(),
                                       ipp=IppeveSpec("HP", "LaserJet Pro M404dn", (PDF, PWG), color=True,
                                                      duplex=True))], name="desktop-%d" % os.getpid())
        cls.cups = CupsServer(binary("backend", "kwprint"),
                              env={"TAVRIN_FILE_DIR": cls.file_dir,
                                   "TAVRIN_BACKEND_LOG": os.path.join(cls.tmp, "tavrinback.log")})
        cls.app = None
        try:
            cls.desktop.start()
            cls.service.start()
            cls.fleet.up()
            cls.cups.__enter__()
            # The real driver comes with the package; the queue exists already, as after an installation.
            cls.cups.run("lpadmin", "-p", QUEUE, "-E", "-v", "tavrin://printer", "-m", "raw")
            with open(os.path.join(cls.file_dir, "bin", "config.ini"), "w") as f:
                f.write("[Common]\nServiceUrl=%s\nServiceCA=%s\n" % (cls.service.url, cls.service.ca))
            cls.app = cls.start_program()
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.app and cls.app.poll() is None:
            cls.app.kill()
            cls.app.wait()
        cls.cups.stop()
        cls.fleet.down()
        cls.service.stop()
        cls.desktop.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    @classmethod
    def program_env(cls):
        env = cls.desktop.env()
        env.update({"TAVRIN_FILE_DIR": cls.file_dir, "HOME": cls.home, "XDG_RUNTIME_DIR": cls.runtime,
                    "USER": "root", "LANG": "zh_CN.UTF-8", "CUPS_SERVER": cls.cups.socket,
                    "QT_QPA_PLATFORM": "xcb"})
        without_leak_check(env)
        env.pop("LC_ALL", None)
        env.pop("XDG_DATA_HOME", None)
        return env

    @classmethod
    def start_program(cls):
        return subprocess.Popen([binary("app", "tavrinapp")], env=cls.program_env(), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)

    # -- helpers -----------------------------------------------------------------------------
    def log(self):
        """The program's log messages, deciphered."""
        try:
            with open(os.path.join(self.file_dir, "logs", "app.log"), encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
        except OSError:
            return []
        return [reveal(line.split("] ", 2)[-1]) for line in lines if "] " in line]

    def tray_icon(self):
        """The tray icon's window: the program's small window docked in trayer."""
        def find():
            for w in self.desktop.search("--class", "tavrinapp"):
                x, y, width, height = self.desktop.geometry(w)
                if width <= 64 and height <= 64 and y > 600:
                    return (x, y, width, height)
            return None
        return wait_for(find, 60, "tray icon")

    def open_tray_menu(self):
        x, y, w, h = self.tray_icon()
        self.desktop.click(x + w // 2, y + h // 2, 3)

        def menu():
            for win in self.desktop.search("--class", "tavrinapp"):
                geometry = self.desktop.geometry(win)
                if geometry[3] >= 80 and geometry[2] < 400:
                    return geometry
            return None
        return wait_for(menu, 20, "tray menu")

    def choose(self, menu, entry):
        """Clicks entry `entry` (0 to 3) of the four-entry tray menu."""
        x, y, w, h = menu
        self.desktop.click(x + w // 2, y + h * (2 * entry + 1) // 8)

    def stored_printers(self, printers):
        path = os.path.join(self.home, ".local", "share", "tavrinapp", "root_depP")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(protect(json.dumps(printers, indent=3, sort_keys=True)))

    def spool_files(self):
        d = os.path.join(self.file_dir, "bin", "tavrin", "root")
        return sorted(os.listdir(d)) if os.path.isdir(d) else []

    # -- the steps, in order -----------------------------------------------------------------
    def test_1_first_start_opens_the_add_chain_once(self):
        method = self.desktop.window("选择添加设备方式", 60)
        self.desktop.screenshot("xvfb_first_run_add_method", method)
        self.desktop.press(method, "Escape")
        self.tray_icon()
        with open(os.path.join(self.file_dir, "bin", "config.ini")) as f:
            self.assertRegex(f.read(), r"FirstRun=0")
        self.assertIn("tavrin translation: :lang/tavrinapp_zh_CN.qm", self.log())
        self.assertIn("Qt translation: :lang/qt_zh_CN.qm", self.log())

    def test_2_a_second_instance_is_refused(self):
        second = self.start_program()
        try:
            box = self.desktop.window("塔文警告", 60)
            self.desktop.screenshot("xvfb_second_instance", box)
            self.desktop.press(box, "Return")
            self.assertEqual(second.wait(30), 0)
        finally:
            if second.poll() is None:
                second.kill()
                second.wait()
        self.assertIsNone(self.app.poll(), "the first instance keeps running")
        self.assertIn("tavrin had run.", self.log())

    def test_3_tray_menu_and_device_management(self):
        desk = self.fleet["desk"]
        self.stored_printers([{
            "deviceId": "6c1f7a0e-2f43-4d1e-9b7a-3e5d2c1b0a99", "clientId": "desktop-test",
            "deviceName": "财务部 HP M404dn", "deviceIpAddress": desk.ip, "deviceBrandCode": "05",
            "deviceModel": "HP LaserJet Pro M404dn", "deviceSerialNumber": "PHBQB04213", "colorMode": "Color",
            "mediaSourceSupported": "auto", "documentFormatSupported": "application/pdf",
            "deviceDocType": "dirpdf", "isFav": "Y", "m_modified_time": 1700000000000,
            "m_ipp_version": "VERSION 2.0"}])
        menu = self.open_tray_menu()
        x, y, w, h = menu
        icon = self.tray_icon()
        self.desktop.screenshot("xvfb_tray_menu", area=(x - 20, y - 10, icon[0] + icon[2] - x + 40, icon[1] + icon[3] - y + 20))
        self.choose(menu, 2)  # 设备管理
        main = self.desktop.window("塔文 - 设备管理", 30)
        # The list was read at start; 刷新 reads the printer written meanwhile.
        x, y, _, _ = self.desktop.geometry(main)
        self.desktop.click(x + 330, y + 85)
        self.desktop.screenshot("xvfb_main_window", main)

    def test_4_a_job_printed_with_lp_ends_in_the_notification(self):
        document = os.path.join(self.tmp, "report.pdf")
        with open(document, "wb") as f:
            f.write(b"%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n")
        self.cups.run("lp", "-d", QUEUE, "-t", "月度报表.pdf", document)
        popup = self.desktop.window("消息", 90)
        wait_for(lambda: "print ok" in self.log(), 60, "log record 'print ok'")
        self.desktop.screenshot("xvfb_notification", popup)
        self.assertEqual(len(self.fleet["desk"].raw_jobs(1, timeout=30)), 1)
        wait_for(lambda: not self.spool_files(), 30, "an empty spool directory")
        # 确定 closes it.
        px, py, _, _ = self.desktop.geometry(popup)
        self.desktop.click(px + 340, py + 133)
        wait_for(lambda: not self.desktop.windows("消息"), 20, "the notification to close")

    def test_5_exit_from_the_tray_menu_asks_first(self):
        self.choose(self.open_tray_menu(), 3)  # 退出
        box = self.desktop.window("提示", 30)
        self.desktop.screenshot("xvfb_exit_question", box)
        # No is the default; the other of the two buttons is Yes.
        self.desktop.press(box, "Tab", "space")
        self.assertEqual(self.app.wait(30), 0)


class DesktopWithoutTrayTest(unittest.TestCase):
    """A desktop without a system tray: the program waits for one (30 checks, then
    20 more, a second apart), logs why it gives up and ends with status 0."""

    def test_gives_up_after_the_tray_checks(self):
        tmp = tempfile.mkdtemp(prefix="tavrin-notray-")
        desktop = Desktop(tray=False)
        try:
            desktop.start()
            file_dir = os.path.join(tmp, "files")
            os.makedirs(os.path.join(file_dir, "bin"))
            env = desktop.env()
            env.update({"TAVRIN_FILE_DIR": file_dir, "HOME": tmp, "USER": "root", "QT_QPA_PLATFORM": "xcb",
                        "CUPS_SERVER": "/nonexistent/cups.sock"})
            without_leak_check(env)
            r = subprocess.run([binary("app", "tavrinapp")], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=300)
            self.assertEqual(r.returncode, 0)
            with open(os.path.join(file_dir, "logs", "app.log"), encoding="utf-8", errors="replace") as f:
                log = [reveal(line.split("] ", 2)[-1]) for line in f.read().splitlines() if "] " in line]
            self.assertEqual(log, ["Exit. Because isSystemTrayAvailable reture false 20 times."])
        finally:
            desktop.stop()
            shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
