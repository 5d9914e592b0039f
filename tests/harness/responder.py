"""A small IPP printer for behaviour ippeveprinter cannot show: refusing jobs
for the first N Get-Printer-Attributes queries, rejecting IPP versions above
a maximum, advertising an ipps printer-uri-supported (TLS is detected on the
same port).

Run inside the printer's namespace: python3 -m harness.responder CONFIG.json
The control file (JSON, re-read when it changes) may hold "refuse_queries"
(writing it restarts the count) and "busy_jobs": answer the next N Print-Job
requests with server-error-busy, as a printer that holds one job at a time.
"""

import hashlib
import http.server
import json
import os
import re
import socket
import socketserver
import ssl
import sys
import threading
import time

from harness import ipp
from harness.ipp_attributes import printer_attributes
from harness.jobs import attribute_text, write_json_atomic

_EXT = {"application/pdf": "pdf", "image/pwg-raster": "pwg", "image/urf": "urf",
        "application/postscript": "ps", "image/jpeg": "jpg"}


class PrinterState:
    """What the responder remembers between requests; one lock, because the
    server answers each connection on its own thread."""

    def __init__(self, config):
        self.config = config
        self.lock = threading.Lock()
        self.queries = 0
        self.refuse = int(config.get("refuse_queries", 0))
        self.busy_jobs = 0
        self.next_job_id = 1
        self.jobs = {}
        self.control_mtime = None
        self.max_version = tuple(int(x) for x in config.get("max_version", "2.0").split("."))
        self.spool = config["spool"]
        os.makedirs(self.spool, exist_ok=True)

    def reload_control(self):
        path = self.config.get("control")
        try:
            mtime = os.stat(path).st_mtime_ns
        except (OSError, TypeError):
            return
        if mtime == self.control_mtime:
            return
        self.control_mtime = mtime
        try:
            with open(path) as f:
                control = json.load(f)
        except (OSError, ValueError):
            return
        if "refuse_queries" in control:
            self.refuse = int(control["refuse_queries"])
            self.queries = 0
        if "busy_jobs" in control:
            self.busy_jobs = int(control["busy_jobs"])

    def count_query(self):
        """Counts one Get-Printer-Attributes; returns whether jobs are accepted now."""
        with self.lock:
            self.reload_control()
            self.queries += 1
            accepting = self.queries > self.refuse
            write_json_atomic(os.path.join(self.config["state_dir"], "queries.json"),
                              {"queries": self.queries, "refuse_queries": self.refuse})
            return accepting

    def take_busy(self):
        """True when this Print-Job is to be answered server-error-busy."""
        with self.lock:
            self.reload_control()
            if self.busy_jobs <= 0:
                return False
            self.busy_jobs -= 1
            return True

    def accepting_now(self):
        with self.lock:
            self.reload_control()
            return self.queries >= self.refuse


def _requested(msg):
    hit = msg.find("requested-attributes", ipp.OPERATION)
    if not hit:
        return None
    names = set(hit[1])
    if names & {"all", "printer-description", "job-template", "printer-defaults"}:
        return None
    return names


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "harness-responder/1"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.client_address[0], fmt % args))

    def _read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            parts = []
            while True:
                size = int(self.rfile.readline().split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self.rfile.readline() not in (b"\r\n", b"\n", b""):
                        pass
                    return b"".join(parts)
                parts.append(self.rfile.read(size))
                self.rfile.readline()
        return self.rfile.read(int(self.headers.get("Content-Length", "0")))

    def _send(self, status, body, ctype="application/ipp"):
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self._send(404, b"", "text/plain")

    def do_POST(self):
        body = self._read_body()
        if self.headers.get("Content-Type", "").split(";")[0].strip() != "application/ipp":
            self._send(400, b"", "text/plain")
            return
        try:
            request = ipp.decode(body)
        except ipp.IppError as err:
            sys.stderr.write("bad IPP request: %s\n" % err)
            self._send(400, b"", "text/plain")
            return
        response = self.server.answer(request, self.headers.get("Host", ""))
        self._send(200, ipp.encode(response))


class Responder(socketserver.ThreadingMixIn, socketserver.TCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def __init__(self, address, state, tls_context):
        self.state = state
        self.tls_context = tls_context
        super().__init__(address, Handler)

    def finish_request(self, request, client_address):
        # ipps and ipp share the port: a TLS ClientHello starts with 0x16.
        if self.tls_context is not None:
            try:
                request.settimeout(10)
                first = request.recv(1, socket.MSG_PEEK)
                request.settimeout(None)
                if first == b"\x16":
                    request = self.tls_context.wrap_socket(request, server_side=True)
            except (OSError, ssl.SSLError) as err:
                sys.stderr.write("TLS handshake with %s failed: %s\n" % (client_address[0], err))
                return
        super().finish_request(request, client_address)

    # ------------------------------------------------------------ IPP
    def answer(self, request, host):
        state = self.state
        op = request.code
        version = request.version
        resp = ipp.Message(version, ipp.STATUS_OK, request.request_id)
        resp.add(ipp.OPERATION, "attributes-charset", ipp.CHARSET, "utf-8")
        resp.add(ipp.OPERATION, "attributes-natural-language", ipp.LANGUAGE, "en")
        if version > state.max_version or version < (1, 0):
            resp.version = state.max_version
            resp.code = ipp.STATUS_VERSION_NOT_SUPPORTED
            resp.add(ipp.OPERATION, "status-message", ipp.TEXT,
                     "Bad request version number %d.%d." % version)
            sys.stderr.write("op 0x%04x version %d.%d rejected\n" % (op, version[0], version[1]))
            return resp
        if op == ipp.OP_GET_PRINTER_ATTRIBUTES:
            accepting = state.count_query()
            sys.stderr.write("Get-Printer-Attributes version %d.%d query %d accepting=%s\n"
                             % (version[0], version[1], state.queries, accepting))
            wanted = _requested(request)
            for name, tag, values in state.attributes:
                if name == "printer-is-accepting-jobs":
                    if state.config.get("omit_accepting"):
                        continue
                    values = [accepting]
                if wanted is None or name in wanted:
                    resp.add(ipp.PRINTER, name, tag, values)
            return resp
        if op in (ipp.OP_PRINT_JOB, ipp.OP_VALIDATE_JOB):
            return self._print_job(request, resp, op == ipp.OP_PRINT_JOB)
        if op == ipp.OP_GET_JOBS:
            return resp
        if op in (ipp.OP_GET_JOB_ATTRIBUTES, ipp.OP_CANCEL_JOB):
            job_id = request.value("job-id", group=ipp.OPERATION)
            if job_id not in state.jobs:
                resp.code = ipp.STATUS_NOT_FOUND
                return resp
            if op == ipp.OP_GET_JOB_ATTRIBUTES:
                self._job_attributes(resp, job_id)
            return resp
        resp.code = ipp.STATUS_OPERATION_NOT_SUPPORTED
        return resp

    def _job_attributes(self, resp, job_id):
        resp.add(ipp.JOB, "job-id", ipp.INTEGER, job_id)
        resp.add(ipp.JOB, "job-uri", ipp.URI, "%s/%d" % (self.state.uris[0], job_id))
        resp.add(ipp.JOB, "job-state", ipp.ENUM, 9)
        resp.add(ipp.JOB, "job-state-reasons", ipp.KEYWORD, "job-completed-successfully")

    def _print_job(self, request, resp, store):
        state = self.state
        fmt = request.value("document-format", "application/octet-stream", ipp.OPERATION)
        supported = dict((n, v) for n, _, v in state.attributes).get("document-format-supported", [])
        if fmt not in supported and fmt != "application/octet-stream":
            resp.code = ipp.STATUS_DOCUMENT_FORMAT_NOT_SUPPORTED
            resp.add(ipp.OPERATION, "status-message", ipp.TEXT, "Unsupported format %s." % fmt)
            return resp
        if not state.accepting_now():
            resp.code = ipp.STATUS_NOT_ACCEPTING_JOBS
            resp.add(ipp.OPERATION, "status-message", ipp.TEXT, "Not accepting jobs.")
            return resp
        if not store:
            return resp
        if state.take_busy():
            resp.code = ipp.STATUS_BUSY
            resp.add(ipp.OPERATION, "status-message", ipp.TEXT, "Currently printing another job.")
            sys.stderr.write("Print-Job answered busy\n")
            return resp
        with state.lock:
            job_id = state.next_job_id
            state.next_job_id += 1
            state.jobs[job_id] = True
        name = request.value("job-name", "untitled", ipp.OPERATION)
        safe = re.sub(r"[^a-z0-9]+", "-", str(name).lower()).strip("-")[:40] or "untitled"
        doc = os.path.join(state.spool, "%d-%s.%s" % (job_id, safe, _EXT.get(fmt, "prn")))
        with open(doc, "wb") as f:
            f.write(request.data)
        attributes = {}
        for group, aname, tag, values in request.attributes:
            if group in (ipp.OPERATION, ipp.JOB) and aname not in (
                    "attributes-charset", "attributes-natural-language", "printer-uri"):
                attributes[aname] = attribute_text(tag, values)
        write_json_atomic(doc + ".json", {
            "job_id": job_id, "document": doc, "format": fmt, "bytes": len(request.data),
            "sha256": hashlib.sha256(request.data).hexdigest(),
            "version": "%d.%d" % request.version, "attributes": attributes, "time": time.time(),
        })
        sys.stderr.write("Print-Job %d %s %d bytes -> %s\n" % (job_id, fmt, len(request.data), doc))
        self._job_attributes(resp, job_id)
        return resp


def serve(config):
    state = PrinterState(config)
    state.uris = config["uris"]
    state.attributes = printer_attributes(config["printer"], state.uris)
    tls = None
    if config.get("tls"):
        tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls.load_cert_chain(config["tls"]["cert"], config["tls"]["key"])
    servers = [Responder((config.get("bind", "0.0.0.0"), port), state, tls)
               for port in config.get("ports", [631])]
    for server in servers[1:]:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    write_json_atomic(os.path.join(config["state_dir"], "ready.json"), {"pid": os.getpid()})
    servers[0].serve_forever()


def main(argv):
    with open(argv[1]) as f:
        config = json.load(f)
    serve(config)


if __name__ == "__main__":
    main(sys.argv)
