"""The desktop the program runs on in system tests and the demo: Xvfb with a
window manager (openbox) and trayer as the system tray, driven by xdotool;
and the program's protected-file form for reading its log and writing its
printer list."""
import base64
import os
import subprocess
import time

from sysfix.paths import BINARY_DIR

try:  # newer python3-cryptography keeps DES among the decrepit ciphers
    from cryptography.hazmat.decrepit.ciphers.algorithms import TripleDES
except ImportError:
    from cryptography.hazmat.primitives.ciphers.algorithms import TripleDES
from cryptography.hazmat.primitives.ciphers import Cipher, modes

LOCAL_KEY = b"Kw#tv9Lq"
SCREENSHOTS = os.path.join(BINARY_DIR, "screenshots")
IMAGEMAGICK = "/usr/bin/convert"


def des(data, encrypt):
    # One key three times over is plain DES.
    cipher = Cipher(TripleDES(LOCAL_KEY * 3), modes.ECB())
    op = cipher.encryptor() if encrypt else cipher.decryptor()
    return op.update(data) + op.finalize()


def protect(text):
    """The program's protected-file form: DES-ECB with zero padding, base64."""
    data = text.encode()
    data += b"\0" * (-len(data) % 8)
    return base64.b64encode(des(data, True))


def reveal(b64):
    try:
        return des(base64.b64decode(b64), False).rstrip(b"\0").decode("utf-8", "replace")
    except ValueError:
        return ""


class Desktop:
    """Xvfb on a free display with a window manager (openbox), and trayer as the
    system tray, docked at the bottom right."""

    def __init__(self, tray=True):
        self.with_tray = tray
        self.xvfb = None
        self.wm = None
        self.trayer = None
        self.display = None

    def start(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x800x24",
                                      "-nolisten", "tcp"], pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, start_new_session=True)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        if not self.with_tray:
            return
        # Now and then a client started right after Xvfb reports its display
        # still "cannot open display": wait for a client that gets in, and
        # start the window manager and the tray again if they gave up.
        wait_for(lambda: self.xdotool("getdisplaygeometry"), 20, "the X display to take clients")
        for _ in range(3):
            self.wm = self._spawn(["openbox", "--sm-disable"])
            self.trayer = self._spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "request",
                                       "--height", "28", "--SetDockType", "true", "--transparent", "false",
                                       "--tint", "0xffffff"])
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline and self.trayer.poll() is None and self.wm.poll() is None:
                if self.search("--class", "trayer"):
                    return
                time.sleep(0.1)
            self._stop(self.trayer, self.wm)
        raise AssertionError("no trayer's window on %s" % self.display)

    def _spawn(self, args):
        return subprocess.Popen(args, env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)

    def stop(self):
        self._stop(self.trayer, self.wm, self.xvfb)

    @staticmethod
    def _stop(*procs):
        for proc in procs:
            if proc and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()

    def env(self):
        env = {k: v for k, v in os.environ.items() if k not in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY")}
        env["DISPLAY"] = self.display
        return env

    def xdotool(self, *args):
        r = subprocess.run(["xdotool"] + list(args), env=self.env(), capture_output=True, text=True, timeout=30)
        return r.stdout.strip() if r.returncode == 0 else ""

    def search(self, *args):
        out = self.xdotool("search", "--onlyvisible", *args)
        return [int(w) for w in out.split()] if out else []

    def geometry(self, window):
        """(x, y, width, height) of the window's own area on the screen, frame excluded."""
        out = subprocess.run(["xwininfo", "-id", str(window)], env=self.env(), capture_output=True, text=True,
                             timeout=30).stdout
        values = dict(line.strip().split(":", 1) for line in out.splitlines() if ":" in line)
        return tuple(int(values[k].strip()) for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                                      "Height"))

    def windows(self, title):
        """The visible windows of the program whose title is exactly `title`. (xdotool's
        own name search cannot match Chinese titles, so each name is read back.)"""
        return [w for w in self.search("--class", "tavrinapp") if self.xdotool("getwindowname", str(w)) == title]

    def window(self, title, timeout=30):
        return wait_for(lambda: (self.windows(title) or [None])[0], timeout, "window " + title)

    def press(self, window, *keys):
        """Types keys into the window. Each key is released once more afterwards: a
        window that closes on the press can swallow the release, and the server
        would then repeat the key into every window that follows."""
        self.xdotool("windowfocus", "--sync", str(window))
        for key in keys:
            self.xdotool("key", "--window", str(window), key)
            self.xdotool("keyup", key)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", str(x), str(y), "click", str(button))

    def screenshot(self, name, window=None, area=None, directory=SCREENSHOTS):
        """build/screenshots/NAME.png (or in `directory`): the window, the area (x, y, w, h) of
        the screen, or the screen. A window is read from its own contents: Xvfb leaves a window
        that was mapped over another one black in the picture of the whole screen."""
        os.makedirs(directory, exist_ok=True)
        time.sleep(1)  # a window just mapped is laid out and painted first
        path = os.path.join(directory, name + ".png")
        source = ["-id", str(window)] if window is not None else ["-root"]
        raw = subprocess.run(["xwd", "-silent"] + source, env=self.env(), capture_output=True, timeout=30).stdout
        args = [IMAGEMAGICK, "xwd:-"]
        if area:
            args += ["-crop", "%dx%d+%d+%d" % (area[2], area[3], area[0], area[1]), "+repage"]
        subprocess.run(args + [path], input=raw, check=True, timeout=60)
        return path


def without_leak_check(env):
    """In a sanitizer build the desktop libraries' own leaks (D-Bus, X plugins) would
    change every exit status; our code's leaks are the window tests' concern."""
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


def wait_for(probe, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("no %s after %d s" % (what, timeout))
        time.sleep(0.1)


def program_log(path):
    """The messages of the program's log file, deciphered."""
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            lines = f.read().splitlines()
    except OSError:
        return []
    return [reveal(line.split("] ", 2)[-1]) for line in lines if "] " in line]
