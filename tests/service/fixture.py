"""Starts the test service as a child process for Python tests and scripts it over its control port.

    with ServiceProcess() as svc:
        svc.script("license/addDevice", ["FAIL:Refused"])
        ... point the program at svc.url with svc.ca as its CA ...
        svc.requests("license/addDevice")
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.parse
import urllib.request

TESTS_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PYTHON = "/usr/bin/python3"
START_TIMEOUT = 30.0


class ServiceProcess:
    def __init__(self, cert_names=None, state_dir=None):
        self.cert_names = cert_names
        self._own_dir = state_dir is None
        self.state_dir = state_dir
        self.proc = None
        self.info = None

    # -- lifetime ------------------------------------------------------------------------------
    def start(self):
        if self._own_dir:
            self.state_dir = tempfile.mkdtemp(prefix="tavrin-service-")
        info_path = os.path.join(self.state_dir, "service.json")
        args = [PYTHON, "-m", "service.server", "--state-dir", self.state_dir, "--exit-on-stdin-eof"]
        if self.cert_names:
            args += ["--cert-names", ",".join(self.cert_names)]
        env = dict(os.environ)
        env["PYTHONPATH"] = TESTS_DIR + (os.pathsep + env["PYTHONPATH"] if env.get("PYTHONPATH") else "")
        # Standard input stays open while we live: the service ends by itself if this test dies.
        self.proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env)
        deadline = time.monotonic() + START_TIMEOUT
        while not os.path.exists(info_path):
            if self.proc.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("the test service did not start")
            time.sleep(0.05)
        with open(info_path) as f:
            self.info = json.load(f)
        return self

    def stop(self):
        if self.proc is not None:
            if self.proc.poll() is None:
                self.proc.terminate()
                try:
                    self.proc.wait(10)
                except subprocess.TimeoutExpired:
                    self.proc.kill()
                    self.proc.wait()
            for stream in (self.proc.stdin, self.proc.stdout):
                if stream:
                    stream.close()
            self.proc = None
        if self._own_dir and self.state_dir:
            shutil.rmtree(self.state_dir, ignore_errors=True)
            self.state_dir = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # -- facts -----------------------------------------------------------------------------------
    @property
    def url(self):
        """The service base URL, ending in /tavrin/itf/."""
        return self.info["url"]

    @property
    def ca(self):
        return self.info["ca"]

    @property
    def other_ca(self):
        return self.info["other_ca"]

    @property
    def objects_url(self):
        return self.info["objects_url"]

    @property
    def port(self):
        return self.info["port"]

    # -- control API -----------------------------------------------------------------------------
    def control(self, method, what, body=None, query=None):
        url = self.info["control_url"] + what
        if query:
            url += "?" + urllib.parse.urlencode(query)
        if body is not None and not isinstance(body, bytes):
            body = json.dumps(body).encode("utf-8")
        request = urllib.request.Request(url, data=body, method=method)
        try:
            with urllib.request.urlopen(request, timeout=30) as response:
                return response.status, response.read()
        except urllib.error.HTTPError as e:
            return e.code, e.read()

    def _json(self, method, what, body=None, query=None):
        status, data = self.control(method, what, body, query)
        if status != 200:
            raise RuntimeError("control %s %s: %d %s" % (method, what, status, data[:200]))
        return json.loads(data)

    def script(self, endpoint, replies=(), default=None, clear=False):
        desc = {"endpoint": endpoint, "replies": list(replies), "clear": clear}
        if default is not None:
            desc["default"] = default
        self._json("POST", "script", desc)

    def requests(self, endpoint=None):
        return self._json("GET", "requests", query={"endpoint": endpoint} if endpoint else None)["requests"]

    def stats(self):
        return self._json("GET", "stats")

    def reset(self):
        self._json("POST", "reset", {})

    def decrypt(self, envelope_text):
        status, data = self.control("POST", "decrypt", envelope_text)
        return status, json.loads(data)

    def objects(self):
        return self._json("GET", "objects")["objects"]

    def object_log(self):
        return self._json("GET", "object-log")["log"]

    def put_object(self, name, data):
        self._json("PUT", "objects/" + urllib.parse.quote(name, safe=""), data)

    def get_object(self, name):
        status, data = self.control("GET", "objects/" + urllib.parse.quote(name, safe=""))
        return data if status == 200 else None


if __name__ == "__main__":
    sys.exit("use python3 -m service.server to run the service by hand")
