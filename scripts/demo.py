#!/usr/bin/python3
"""The built-in demo office, run on the installed package (as root).

  demo.py up --build DIR   start cupsd if needed, a headless desktop with a tray
                           if there is no display, two simulated printers in
                           network namespaces, the loopback cloud service and
                           tavrinapp; register both printers through the add
                           path; print a sample through "塔文" to each; show what
                           each printer received
  demo.py down             stop and remove everything "up" started, put back
                           the files it changed

TAVRIN_DEMO_KEEP=1 leaves a failed "up" running for a look.
What "up" started is written to /run/tavrin-demo/state.json for "down".
"""
import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE, "tests"))

from harness.fleet import Fleet  # noqa: E402
from harness.presets import PRESETS  # noqa: E402
from sysfix.desktop import Desktop, wait_for  # noqa: E402

STATE_DIR = "/run/tavrin-demo"
STATE = os.path.join(STATE_DIR, "state.json")
FLEET = "tavrin-demo"
FILES = "/opt/apps/com.kestrelware.tavrin/files"
PROGRAM = FILES + "/bin/tavrinapp"
CONFIG = FILES + "/bin/config.ini"
HOME = os.path.expanduser("~root")
STORE = os.path.join(HOME, ".local", "share", "tavrinapp", "root_depP")
QUEUE = "塔文"
NAMES = {"sharp": "Sharp MX-3071 (2F copy room)", "everywhere": "HP M479fdw (3F open office)"}
OPTIONS = ["-o", "ColorModel=Gray", "-o", "Duplex=DuplexNoTumble", "-o", "InputSlot=Tray2",
           "-o", "KWStaple=StapleTopLeft", "-n", "2", "-t", "Quarterly Report.pdf"]


def say(text=""):
    print(text, flush=True)


def save_state(state):
    with open(STATE + ".new", "w") as f:
        json.dump(state, f, indent=1)
    os.replace(STATE + ".new", STATE)


def spawn(args, log, env=None):
    with open(log, "ab") as out:
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT, env=env,
                                start_new_session=True).pid


def stop_pid(pid, group=True):
    """SIGTERM to the process (group), SIGKILL after 10 s."""
    send = (lambda s: os.killpg(pid, s)) if group else (lambda s: os.kill(pid, s))
    try:
        send(signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return
        try:
            os.waitpid(pid, os.WNOHANG)
        except ChildProcessError:
            pass
        time.sleep(0.1)
    try:
        send(signal.SIGKILL)
    except ProcessLookupError:
        pass


def backup(path, state, key):
    """Remembers a file's content (or its absence) so that "down" can put it back."""
    copy = os.path.join(STATE_DIR, key + ".orig")
    if os.path.exists(path):
        shutil.copy2(path, copy)
        state["restore"][path] = copy
    else:
        state["restore"][path] = None


def cups_running():
    r = subprocess.run(["lpstat", "-r"], capture_output=True, text=True)
    return "is running" in r.stdout and "not" not in r.stdout


def start_cups(state):
    if cups_running():
        say("cupsd: already running")
        return
    if os.path.isdir("/run/systemd/system"):
        subprocess.run(["systemctl", "start", "cups"], check=True)
        state["cups"] = "systemd"
    else:
        state["cups"] = spawn(["cupsd", "-f"], os.path.join(STATE_DIR, "cupsd.log"))
    save_state(state)
    wait_for(cups_running, 30, "cupsd")
    say("cupsd: started")


def usable_display():
    display = os.environ.get("DISPLAY")
    if not display:
        return None
    r = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, env=dict(os.environ))
    return display if r.returncode == 0 else None


def start_desktop(state):
    desktop = Desktop()
    display = usable_display()
    if display:
        desktop.display = display
        say("desktop: using the display %s (it needs a system tray)" % display)
    else:
        try:
            desktop.start()
        except BaseException:
            desktop.stop()
            raise
        state["desktop"] = [p.pid for p in (desktop.xvfb, desktop.wm, desktop.trayer)]
        save_state(state)
        say("desktop: Xvfb %s with openbox and trayer as the tray" % desktop.display)
    state["display"] = desktop.display
    return desktop


def start_service(state):
    sdir = os.path.join(STATE_DIR, "service")
    os.makedirs(sdir, exist_ok=True)
    env = dict(os.environ, PYTHONPATH=os.path.join(SOURCE, "tests"))
    state["service"] = spawn(["/usr/bin/python3", "-m", "service.server", "--state-dir", sdir],
                             os.path.join(STATE_DIR, "service.log"), env)
    save_state(state)
    info = os.path.join(sdir, "service.json")
    wait_for(lambda: os.path.exists(info), 30, "the test service")
    with open(info) as f:
        service = json.load(f)
    say("cloud service: %s (loopback test service)" % service["url"])
    return service


def write_config(service):
    """The service's address and CA in [Common], every other setting kept."""
    lines = []
    if os.path.exists(CONFIG):
        with open(CONFIG, encoding="utf-8") as f:
            lines = [line.rstrip("\n") for line in f]
    out, section, done = [], None, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("["):
            if section == "Common" and not done:
                out += ["ServiceUrl=" + service["url"], "ServiceCA=" + service["ca"]]
                done = True
            section = stripped.strip("[]")
        elif section == "Common" and stripped.split("=", 1)[0] in ("ServiceUrl", "ServiceCA"):
            continue
        out.append(line)
    if not done:
        if section != "Common":
            out.append("[Common]")
        out += ["ServiceUrl=" + service["url"], "ServiceCA=" + service["ca"]]
    with open(CONFIG, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")
    os.chmod(CONFIG, 0o666)


def program_env(display):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "LC_ALL", "TAVRIN_FILE_DIR")}
    env.update({"DISPLAY": display, "HOME": HOME, "USER": "root", "LANG": "zh_CN.UTF-8",
                "QT_QPA_PLATFORM": "xcb"})
    return env


def start_program(state, desktop):
    if subprocess.run(["pgrep", "-x", "tavrinapp"], capture_output=True).returncode == 0:
        say("tavrinapp: stopping the running one, so that it reads the demo's settings")
        subprocess.run(["pkill", "-x", "tavrinapp"])
        wait_for(lambda: subprocess.run(["pgrep", "-x", "tavrinapp"], capture_output=True).returncode != 0,
                 20, "tavrinapp to end")
    state["app"] = spawn([PROGRAM], os.path.join(STATE_DIR, "tavrinapp.log"), program_env(desktop.display))
    save_state(state)
    say("tavrinapp: started (pid %d)" % state["app"])
    # A first start may offer the add-printer chain; the printers are in the list already.
    def settled():
        for window in desktop.windows("选择添加设备方式"):
            desktop.press(window, "Escape")
        return queue_exists()
    wait_for(settled, 90, 'the queue "%s" (tavrinapp creates it)' % QUEUE)
    say('queue "%s": %s' % (QUEUE, subprocess.run(["lpstat", "-v", QUEUE], capture_output=True,
                                                   text=True).stdout.strip()))


def clear_spool():
    """Jobs root left in the spool by an earlier run would be offered first."""
    spool = os.path.join(FILES, "bin", "tavrin", "root")
    if os.path.isdir(spool) and os.listdir(spool):
        say("spool: removing %d files of earlier jobs from %s" % (len(os.listdir(spool)), spool))
        for name in os.listdir(spool):
            os.unlink(os.path.join(spool, name))


def queue_exists():
    return subprocess.run(["lpstat", "-p", QUEUE], capture_output=True).returncode == 0


def register(build, fleet):
    tool = os.path.join(build, "tools", "addprinter", "tavrin-add-printer")
    args = [tool] + ["%s=%s" % (fleet[name].ip, NAMES[name]) for name in ("sharp", "everywhere")]
    r = subprocess.run(args, capture_output=True, text=True, env=dict(os.environ, HOME=HOME, USER="root"), timeout=300)
    for line in (r.stdout + r.stderr).splitlines():
        say("  " + line)
    if r.returncode != 0:
        raise RuntimeError("registering the demo printers failed")


def make_sample(path):
    pages = []
    for n, text in enumerate(["Quarterly Report", "Sales by region", "Outlook"], 1):
        pages.append("/Helvetica-Bold findfont 28 scalefont setfont 72 720 moveto (%s) show "
                     "/Helvetica findfont 12 scalefont setfont 72 690 moveto (Page %d of 3) show "
                     "0.85 setgray 72 300 450 300 rectfill showpage" % (text, n))
    subprocess.run(["gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite", "-sPAPERSIZE=a4", "-o", path,
                    "-c", " ".join(pages)], check=True, timeout=60)


def received(fleet):
    return {name: len(fleet[name].raw_jobs() if fleet[name].raw else []) + len(fleet[name].ipp_jobs())
            for name in ("sharp", "everywhere")}


def print_to(desktop, fleet, sample, row):
    """One job through the queue; in the choice the program asks for, row `row`."""
    before = received(fleet)
    subprocess.run(["lp", "-d", QUEUE] + OPTIONS + [sample], check=True, capture_output=True)
    say("lp -d %s %s %s" % (QUEUE, " ".join('"%s"' % o if " " in o else o for o in OPTIONS), sample))
    dialog = desktop.window("选择打印机", 90)
    if row == 0:
        desktop.screenshot("choose-printer", dialog, directory=STATE_DIR)
    # The list starts 106 pixels down, 46 per row; 确认打印 is at the bottom right.
    x, y, _, _ = desktop.geometry(dialog)
    desktop.click(x + 120, y + 106 + 46 * row + 23)
    desktop.click(x + 505, y + 393)
    wait_for(lambda: received(fleet) != before, 120, "the job at a printer")
    return [name for name, count in received(fleet).items() if count != before[name]][0]


def show_raw(printer):
    job = printer.raw_jobs(1)[-1]
    with open(job["document"], "rb") as f:
        data = f.read()
    head, sep, rest = data.partition(b"@PJL ENTER LANGUAGE=PDF\n")
    say("  raw port 9100: %d bytes" % len(data))
    say("  PJL header:")
    for line in (head + sep).split(b"\n"):
        if line:
            say("    " + line.decode("latin-1").replace("\x1b", "<ESC>"))
    pdf_end = rest.rfind(b"%%EOF")
    pdf = rest[:rest.find(b"\n", pdf_end) + 1] if pdf_end >= 0 else rest
    path = os.path.join(STATE_DIR, "sharp-received.pdf")
    with open(path, "wb") as f:
        f.write(pdf)
    pages = subprocess.run(["qpdf", "--show-npages", path], capture_output=True, text=True).stdout.strip()
    say("  PDF: %d bytes, %s pages (saved as %s)" % (len(pdf), pages or "?", path))
    say("  footer:")
    for line in rest[len(pdf):].split(b"\n"):
        if line.strip(b"\x1b%-12345X"):
            say("    " + line.decode("latin-1").replace("\x1b", "<ESC>"))


def show_ipp(printer):
    job = printer.ipp_jobs(1)[-1]
    say("  IPP Print-Job: %s, %d bytes" % (job["format"], job["bytes"]))
    for name in sorted(job["attributes"]):
        say("    %s = %s" % (name, job["attributes"][name]))


def up(args):
    if os.geteuid() != 0:
        sys.exit("demo: run as root")
    if not os.path.exists(PROGRAM):
        sys.exit("demo: the package is not installed (%s missing)" % PROGRAM)
    if os.path.exists(STATE):
        say("demo: stopping the previous run first")
        down(args)
    os.makedirs(STATE_DIR, exist_ok=True)
    state = {"restore": {}}
    save_state(state)
    backup(CONFIG, state, "config.ini")
    backup(STORE, state, "printers")
    save_state(state)
    try:
        start_cups(state)
        desktop = start_desktop(state)
        service = start_service(state)
        fleet = Fleet(PRESETS["demo"](), name=FLEET, detached=True)
        state["fleet"] = FLEET
        save_state(state)
        fleet.up()
        for p in fleet:
            say("printer %-10s %s  (%s)" % (p.name, p.ip, NAMES[p.name]))
        write_config(service)
        say("registering the printers through the add path:")
        register(args.build, fleet)
        clear_spool()
        start_program(state, desktop)
        sample = os.path.join(STATE_DIR, "Quarterly Report.pdf")
        make_sample(sample)
        for row in (0, 1):
            name = print_to(desktop, fleet, sample, row)
            say("-> arrived at %s (%s):" % (name, NAMES[name]))
            show_raw(fleet[name]) if name == "sharp" else show_ipp(fleet[name])
        say()
        say("The demo keeps running: tavrinapp on display %s, the printers at %s and %s." % (
            desktop.display, fleet["sharp"].ip, fleet["everywhere"].ip))
        say("Print more with: lp -d %s FILE   Stop everything with: scripts/run.sh stop" % QUEUE)
    except BaseException:
        kept = "/tmp/tavrin-demo-failed"
        shutil.rmtree(kept, ignore_errors=True)
        shutil.copytree(STATE_DIR, kept, ignore=shutil.ignore_patterns("*.orig"))
        if os.environ.get("TAVRIN_DEMO_KEEP") == "1":
            say("demo: failed; its logs are in %s; left running for a look (scripts/run.sh stop)" % kept)
        else:
            say("demo: failed; its logs are in %s; stopping what was started" % kept)
            down(args)
        raise


def down(_args):
    try:
        with open(STATE) as f:
            state = json.load(f)
    except (OSError, ValueError):
        say("demo: not running")
        return
    if state.get("app"):
        stop_pid(state["app"])
    if state.get("fleet"):
        subprocess.run(["/usr/bin/python3", "-m", "harness.fleet", "down", "--name", state["fleet"]],
                       env=dict(os.environ, PYTHONPATH=os.path.join(SOURCE, "tests")), capture_output=True)
    if state.get("service"):
        stop_pid(state["service"])
    for pid in reversed(state.get("desktop", [])):
        stop_pid(pid)
    if state.get("cups") == "systemd":
        subprocess.run(["systemctl", "stop", "cups"])
    elif state.get("cups"):
        stop_pid(state["cups"])
    for path, copy in state.get("restore", {}).items():
        if copy:
            shutil.copy2(copy, path)
        elif os.path.exists(path):
            os.unlink(path)
    shutil.rmtree(STATE_DIR, ignore_errors=True)
    say("demo: stopped")


def main():
    parser = argparse.ArgumentParser(prog="demo.py")
    parser.add_argument("command", choices=("up", "down"))
    parser.add_argument("--build", default=os.path.join(SOURCE, "build-run"))
    args = parser.parse_args()
    (up if args.command == "up" else down)(args)


if __name__ == "__main__":
    main()
