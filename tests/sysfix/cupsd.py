"""A private cupsd: its own configuration, spool, logs and socket, removed afterwards.

The capture backend is installed into the private ServerBin as backend/tavrin with
mode 0700, so that cupsd runs it as root exactly as on an installed system.
"""
import os
import shutil
import signal
import subprocess
import tempfile
import time

SYSTEM_SERVERBIN = "/usr/lib/cups"


class CupsServer:
    def __init__(self, backend_path, env=None, log_level="debug", filters=None):
        self.backend_path = backend_path
        self.filters = filters or {}
        self.backend_env = env or {}
        self.log_level = log_level
        self.dir = None
        self.proc = None

    # -- paths -----------------------------------------------------------
    @property
    def socket(self):
        return os.path.join(self.dir, "cups.sock")

    @property
    def error_log(self):
        return os.path.join(self.dir, "logs", "error_log")

    def client_env(self):
        return dict(os.environ, CUPS_SERVER=self.socket)

    # -- life cycle ------------------------------------------------------
    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()

    def _start(self):
        self.dir = tempfile.mkdtemp(prefix="tavrin-cupsd-")
        os.chmod(self.dir, 0o755)
        for sub in ("conf", "conf/ppd", "spool", "spool/tmp", "cache", "state", "logs", "serverbin",
                    "serverbin/backend"):
            os.makedirs(os.path.join(self.dir, sub), exist_ok=True)
            os.chmod(os.path.join(self.dir, sub), 0o755)
        os.chmod(os.path.join(self.dir, "spool", "tmp"), 0o1777)
        sb = os.path.join(self.dir, "serverbin")
        for sub in ("daemon", "notifier", "monitor", "cgi-bin", "driver"):
            src = os.path.join(SYSTEM_SERVERBIN, sub)
            if os.path.isdir(src):
                os.symlink(src, os.path.join(sb, sub))
        # The system's filters, plus ours as root-owned copies (cupsd refuses writable ones).
        filter_dir = os.path.join(sb, "filter")
        os.mkdir(filter_dir)
        os.chmod(filter_dir, 0o755)
        for name in os.listdir(os.path.join(SYSTEM_SERVERBIN, "filter")):
            os.symlink(os.path.join(SYSTEM_SERVERBIN, "filter", name), os.path.join(filter_dir, name))
        for name, path in self.filters.items():
            target = os.path.join(filter_dir, name)
            if os.path.lexists(target):
                os.unlink(target)
            shutil.copyfile(path, target)
            os.chmod(target, 0o755)
        backend = os.path.join(sb, "backend", "tavrin")
        shutil.copyfile(self.backend_path, backend)
        os.chmod(backend, 0o700)

        d = self.dir
        files_conf = [
                "ServerRoot %s/conf" % d, "RequestRoot %s/spool" % d, "TempDir %s/spool/tmp" % d,
                "CacheDir %s/cache" % d, "StateDir %s/state" % d, "ServerBin %s" % sb,
                "DataDir /usr/share/cups", "DocumentRoot /usr/share/cups/doc-root",
                "ErrorLog %s/logs/error_log" % d, "AccessLog %s/logs/access_log" % d,
                "PageLog %s/logs/page_log" % d, "FileDevice No", "User lp", "Group lp"]
        # The backend's environment: how tests relocate the program directory and its log.
        files_conf += ["SetEnv %s %s" % (key, value) for key, value in self.backend_env.items()]
        with open(os.path.join(d, "conf", "cups-files.conf"), "w") as f:
            f.write("\n".join(files_conf) + "\n")
        lines = ["Listen %s" % self.socket, "LogLevel %s" % self.log_level, "WebInterface No",
                 "Browsing Off", "BrowseLocalProtocols none", "DefaultShared No", "JobRetryLimit 0",
                 "PreserveJobHistory Yes", "PreserveJobFiles No"]
        lines += ["<Location />", "  Order allow,deny", "  Allow all", "</Location>",
                  "<Policy default>", "  <Limit All>", "    Order deny,allow", "  </Limit>", "</Policy>", ""]
        with open(os.path.join(d, "conf", "cupsd.conf"), "w") as f:
            f.write("\n".join(lines))

        self.proc = subprocess.Popen(
            ["cupsd", "-f", "-c", os.path.join(d, "conf", "cupsd.conf"), "-s",
             os.path.join(d, "conf", "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        deadline = time.time() + 20
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError("cupsd exited: " + self.read_error_log()[-2000:])
            r = subprocess.run(["lpstat", "-r"], env=self.client_env(), capture_output=True, text=True)
            if "is running" in r.stdout and "not" not in r.stdout:
                return
            time.sleep(0.1)
        raise RuntimeError("cupsd did not start: " + self.read_error_log()[-2000:])

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGTERM)
                self.proc.wait(timeout=10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                try:
                    os.killpg(self.proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                self.proc.wait()
        self.proc = None
        if self.dir:
            shutil.rmtree(self.dir, ignore_errors=True)
            self.dir = None

    # -- tools -----------------------------------------------------------
    def run(self, *args, check=True):
        r = subprocess.run(list(args), env=self.client_env(), capture_output=True, text=True, timeout=60)
        if check and r.returncode != 0:
            raise RuntimeError("%s failed: %s%s" % (" ".join(args), r.stdout, r.stderr))
        return r

    def read_error_log(self):
        try:
            with open(self.error_log, encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def job_states(self):
        """{job id: state text} for every job, from lpstat."""
        r = self.run("lpstat", "-W", "all", "-l", "-o", check=False)
        return r.stdout

    def wait_for_completed(self, count, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.run("lpstat", "-W", "not-completed", "-o", check=False).stdout
            if not out.strip():
                done = self.run("lpstat", "-W", "completed", "-o", check=False).stdout
                if len([line for line in done.splitlines() if line.strip()]) >= count:
                    return True
            time.sleep(0.1)
        return False
