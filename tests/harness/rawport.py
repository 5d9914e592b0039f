"""Raw printing port (AppSocket/JetDirect, TCP 9100) of a simulated printer.

Stores what each connection sends as NNNN.prn with a record NNNN.json
(written when the connection has ended). A connection that sends nothing (a
port probe) leaves no files. Faults, from the control file (JSON, re-read
while running):
  {"mode": "normal"}                 accept and store everything
  {"mode": "drop", "after": N}       reset the connection once N bytes arrived
  {"mode": "closed"}                 no listener at all: connections are refused
  "discard": true                    count and hash only, store no data

Run inside the printer's namespace: python3 -m harness.rawport CONFIG.json
"""

import hashlib
import json
import os
import select
import socket
import struct
import sys
import threading
import time

from harness.jobs import read_json, write_json_atomic

_CHUNK = 65536


class RawPort:
    def __init__(self, config):
        self.config = config
        self.spool = config["spool"]
        os.makedirs(self.spool, exist_ok=True)
        self.lock = threading.Lock()  # guards the connection counter
        self.counter = 0
        self.control = {"mode": "normal"}
        self.control_mtime = None
        self.listener = None

    def reload_control(self):
        path = self.config["control"]
        try:
            mtime = os.stat(path).st_mtime_ns
        except OSError:
            return
        if mtime != self.control_mtime:
            self.control_mtime = mtime
            self.control = read_json(path, self.control) or {"mode": "normal"}
            sys.stderr.write("control: %s\n" % json.dumps(self.control))

    def _open(self):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind((self.config.get("bind", "0.0.0.0"), self.config.get("port", 9100)))
        s.listen(16)
        return s

    def serve(self):
        ready = os.path.join(self.config["state_dir"], "ready.json")
        while True:
            self.reload_control()
            want_open = self.control.get("mode") != "closed"
            if want_open and self.listener is None:
                self.listener = self._open()
            elif not want_open and self.listener is not None:
                self.listener.close()
                self.listener = None
            if self._state_changed():
                # Tests wait for this file after changing the control file.
                write_json_atomic(os.path.join(self.config["state_dir"], "listening.json"),
                                  {"open": self.listener is not None, "control": self.control})
            if not os.path.exists(ready):
                write_json_atomic(ready, {"pid": os.getpid()})
            if self.listener is None:
                time.sleep(0.1)
                continue
            readable, _, _ = select.select([self.listener], [], [], 0.1)
            if readable:
                conn, peer = self.listener.accept()
                control = dict(self.control)
                threading.Thread(target=self._receive, args=(conn, peer, control), daemon=True).start()

    def _state_changed(self):
        now = (self.listener is not None, self.control_mtime)
        if getattr(self, "_last_state", None) != now:
            self._last_state = now
            return True
        return False

    def _receive(self, conn, peer, control):
        started = time.time()
        limit = int(control["after"]) if control.get("mode") == "drop" else None
        discard = bool(control.get("discard"))
        digest = hashlib.sha256()
        total = 0
        out = None
        path = None
        ended_by = "peer"
        try:
            while True:
                want = _CHUNK if limit is None else min(_CHUNK, limit - total)
                if want <= 0:
                    ended_by = "fault"
                    break
                data = conn.recv(want)
                if not data:
                    break
                if out is None:
                    with self.lock:
                        self.counter += 1
                        number = self.counter
                    path = os.path.join(self.spool, "%04d.prn" % number)
                    out = open(os.devnull if discard else path, "wb")
                out.write(data)
                digest.update(data)
                total += len(data)
        except OSError as err:
            ended_by = "error: %s" % err
        finally:
            if ended_by == "fault":
                # An abortive close (RST), like a printer that dies mid-job.
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            conn.close()
        if out is None:
            sys.stderr.write("connection from %s:%d sent nothing\n" % peer)
            return
        out.close()
        record = {"document": None if discard else path, "bytes": total,
                  "sha256": digest.hexdigest(), "peer": "%s:%d" % peer, "ended_by": ended_by,
                  "time": started, "job_id": int(os.path.basename(path)[:4])}
        write_json_atomic(path[:-4] + ".json", record)
        sys.stderr.write("connection from %s:%d: %d bytes, %s\n" % (peer + (total, ended_by)))


def main(argv):
    with open(argv[1]) as f:
        config = json.load(f)
    RawPort(config).serve()


if __name__ == "__main__":
    main(sys.argv)
