"""The test service: a loopback HTTPS server that reads the client's envelope with the service's private
key, answers the six endpoints below /tavrin/itf/ with scriptable replies, records every payload, and
stores objects for the object-storage tool below /objects/.

Tests script it through the control API, served as plain HTTP on its own loopback port (and also below
/control/ on the HTTPS port):

  POST /control/script     {"endpoint": E, "replies": [R, ...]}  queue replies for E (used once each)
                           {"endpoint": E, "default": R}         reply when E's queue is empty
                           E may be "*" for all six endpoints; "clear": true empties the queue first.
                           R is a text ("OK:", "FAIL:DeviceNotExist") or an object
                           {"body": text, "status": 200, "delay": seconds, "drop": false};
                           "drop" closes the connection without an answer.
  GET  /control/requests[?endpoint=E]   {"requests": [{"seq", "endpoint", "payload", "plain", "blocks",
                                          "rejected", "error", "reply"}, ...]}
  GET  /control/stats      {"requests": n, "rejected": n, "tls_errors": n}
  POST /control/decrypt    body = an envelope; {"blocks": n, "plain_b64": base64 of the decrypted text}
  GET  /control/objects    {"objects": [{"name", "size", "sha1"}]}
  GET|PUT|DELETE /control/objects/<name>
  GET  /control/object-log {"log": [{"method", "name", "size", "status"}]}
  POST /control/reset      forget scripts, records and objects
  POST /control/shutdown

Command line (for CTest fixtures and the demo):
  python3 -m service.server --state-dir DIR [--port N] [--control-port N]
It prints one line "SERVICE port=.. control_port=.. ca=.. url=.." and writes DIR/service.json with the
same facts once it accepts connections; the CA and server certificate are made fresh in DIR/certs.
"""

import argparse
import base64
import collections
import hashlib
import ipaddress
import json
import os
import select
import signal
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from service import certs, envelope

ITF_PREFIX = "/tavrin/itf/"
OBJECTS_PREFIX = "/objects/"
CONTROL_PREFIX = "/control/"

DEFAULT_REPLIES = collections.OrderedDict([
    ("license/addDevice", "OK:"),
    ("license/removeDevice", "OK:"),
    ("license/uploadStatisticsDeviceModel", "OK:"),
    ("license/feedback", "OK:received"),
    ("license/advertisement", "OK:[]"),
    ("license/checkVersion", "OK:1.3.0.3,NO,tavrin_1.3.0.3_amd64.deb"),
])
ENDPOINTS = tuple(DEFAULT_REPLIES)
MAX_DELAY = 120.0
MAX_BODY = 64 * 1024 * 1024


class Reply:
    def __init__(self, body="", status=200, delay=0.0, drop=False):
        self.body = body
        self.status = int(status)
        self.delay = min(max(float(delay), 0.0), MAX_DELAY)
        self.drop = bool(drop)

    @classmethod
    def parse(cls, value):
        if isinstance(value, str):
            return cls(body=value)
        if isinstance(value, dict):
            return cls(body=value.get("body", ""), status=value.get("status", 200),
                       delay=value.get("delay", 0.0), drop=value.get("drop", False))
        raise ValueError("a reply is a text or an object")

    def describe(self):
        return {"body": self.body, "status": self.status, "delay": self.delay, "drop": self.drop}


class ServiceState:
    """Everything the two listeners share; one lock around all of it."""

    def __init__(self, objects_dir, private_key):
        self.lock = threading.Lock()
        self.objects_dir = objects_dir
        self.private_key = private_key
        os.makedirs(objects_dir, exist_ok=True)
        self.reset()

    def reset(self):
        with self.lock:
            self.defaults = {e: Reply(body) for e, body in DEFAULT_REPLIES.items()}
            self.queues = {e: collections.deque() for e in ENDPOINTS}
            self.requests = []
            self.object_log = []
            self.tls_errors = 0
            for name in os.listdir(self.objects_dir):
                os.unlink(os.path.join(self.objects_dir, name))

    def script(self, desc):
        endpoint = desc.get("endpoint")
        targets = ENDPOINTS if endpoint == "*" else (endpoint,)
        if any(t not in ENDPOINTS for t in targets):
            raise ValueError("unknown endpoint %r" % endpoint)
        replies = [Reply.parse(r) for r in desc.get("replies", [])]
        default = Reply.parse(desc["default"]) if "default" in desc else None
        with self.lock:
            for t in targets:
                if desc.get("clear"):
                    self.queues[t].clear()
                self.queues[t].extend(replies)
                if default is not None:
                    self.defaults[t] = default

    def next_reply(self, endpoint):
        with self.lock:
            queue = self.queues[endpoint]
            return queue.popleft() if queue else self.defaults[endpoint]

    def record(self, entry):
        with self.lock:
            entry["seq"] = len(self.requests) + 1
            self.requests.append(entry)

    def note_tls_error(self):
        with self.lock:
            self.tls_errors += 1

    def list_requests(self, endpoint=None):
        with self.lock:
            return [dict(r) for r in self.requests if endpoint is None or r["endpoint"] == endpoint]

    def stats(self):
        with self.lock:
            return {"requests": len(self.requests),
                    "rejected": sum(1 for r in self.requests if r["rejected"]),
                    "tls_errors": self.tls_errors}

    # Objects live as files named by their quoted object name, so a demo can look at them.
    def _object_path(self, name):
        return os.path.join(self.objects_dir, urllib.parse.quote(name, safe=""))

    def put_object(self, name, data, via):
        path = self._object_path(name)
        with self.lock:
            with open(path + ".tmp", "wb") as f:
                f.write(data)
            os.replace(path + ".tmp", path)
            self.object_log.append({"method": "PUT", "via": via, "name": name, "size": len(data), "status": 200})

    def get_object(self, name, via):
        with self.lock:
            try:
                with open(self._object_path(name), "rb") as f:
                    data = f.read()
            except OSError:
                data = None
            self.object_log.append({"method": "GET", "via": via, "name": name,
                                    "size": 0 if data is None else len(data),
                                    "status": 404 if data is None else 200})
            return data

    def delete_object(self, name):
        with self.lock:
            try:
                os.unlink(self._object_path(name))
                return True
            except OSError:
                return False

    def list_objects(self):
        with self.lock:
            out = []
            for quoted in sorted(os.listdir(self.objects_dir)):
                if quoted.endswith(".tmp"):
                    continue
                with open(os.path.join(self.objects_dir, quoted), "rb") as f:
                    data = f.read()
                out.append({"name": urllib.parse.unquote(quoted), "size": len(data),
                            "sha1": hashlib.sha1(data).hexdigest()})
            return out

    def list_object_log(self):
        with self.lock:
            return [dict(e) for e in self.object_log]


class _Handler(BaseHTTPRequestHandler):
    server_version = "TavrinTestService/1"
    protocol_version = "HTTP/1.0"

    @property
    def state(self):
        return self.server.state

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("service: " + (fmt % args) + "\n")

    def _body(self):
        # Read once, before any answer: closing a connection with unread input makes the kernel
        # reset it, and the client may lose the answer.
        if not hasattr(self, "_cached_body"):
            length = int(self.headers.get("Content-Length") or 0)
            if length < 0 or length > MAX_BODY:
                raise ValueError("bad Content-Length")
            self._cached_body = self.rfile.read(length) if length else b""
        return self._cached_body

    def _send(self, status, data, content_type="text/plain; charset=utf-8"):
        if isinstance(data, str):
            data = data.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(data)

    def _send_json(self, status, value):
        self._send(status, json.dumps(value, ensure_ascii=False), "application/json")

    def _path(self):
        return urllib.parse.urlsplit(self.path)

    # -- control API -----------------------------------------------------------------------------
    def _control(self, method):
        url = self._path()
        what = url.path[len(CONTROL_PREFIX):]
        query = urllib.parse.parse_qs(url.query)
        try:
            if what.startswith("objects/"):
                return self._control_object(method, urllib.parse.unquote(what[len("objects/"):]))
            if method == "GET" and what == "health":
                return self._send(200, "ok")
            if method == "GET" and what == "requests":
                endpoint = query.get("endpoint", [None])[0]
                return self._send_json(200, {"requests": self.state.list_requests(endpoint)})
            if method == "GET" and what == "stats":
                return self._send_json(200, self.state.stats())
            if method == "GET" and what == "objects":
                return self._send_json(200, {"objects": self.state.list_objects()})
            if method == "GET" and what == "object-log":
                return self._send_json(200, {"log": self.state.list_object_log()})
            if method == "POST" and what == "script":
                self.state.script(json.loads(self._body() or b"{}"))
                return self._send_json(200, {"ok": True})
            if method == "POST" and what == "reset":
                self.state.reset()
                return self._send_json(200, {"ok": True})
            if method == "POST" and what == "decrypt":
                try:
                    plain, blocks = envelope.decrypt_blocks(self._body(), self.state.private_key)
                except envelope.EnvelopeError as e:
                    return self._send_json(400, {"error": str(e)})
                return self._send_json(200, {"blocks": blocks, "plain_b64": base64.b64encode(plain).decode()})
            if method == "POST" and what == "shutdown":
                self._send_json(200, {"ok": True})
                self.server.stop_event.set()
                return None
        except (ValueError, KeyError) as e:
            return self._send_json(400, {"error": str(e)})
        return self._send_json(404, {"error": "no control operation %s %s" % (method, what)})

    def _control_object(self, method, name):
        if not name:
            return self._send_json(400, {"error": "empty object name"})
        if method == "PUT":
            self.state.put_object(name, self._body(), "control")
            return self._send_json(200, {"ok": True})
        if method == "DELETE":
            return self._send_json(200 if self.state.delete_object(name) else 404, {"name": name})
        if method == "GET":
            data = self.state.get_object(name, "control")
            if data is None:
                return self._send_json(404, {"error": "no object %s" % name})
            return self._send(200, data, "application/octet-stream")
        return self._send_json(405, {"error": method})

    def _dispatch(self, method):
        if self._path().path.startswith(CONTROL_PREFIX):
            return self._control(method)
        return self._send(404, "FAIL:NotFound")

    def _handle(self, method):
        try:
            self._body()
        except ValueError:
            return self._send(400, "bad Content-Length")
        return self._dispatch(method)

    def do_GET(self):
        self._handle("GET")

    def do_HEAD(self):
        self._handle("GET")

    def do_POST(self):
        self._handle("POST")

    def do_PUT(self):
        self._handle("PUT")

    def do_DELETE(self):
        self._handle("DELETE")


class ServiceHandler(_Handler):
    """The HTTPS side: the endpoints, the objects, and the control API as well."""

    def _dispatch(self, method):
        path = self._path().path
        if path.startswith(ITF_PREFIX):
            if method != "POST":
                return self._send(405, "FAIL:MethodNotAllowed")
            return self._endpoint(path[len(ITF_PREFIX):])
        if path.startswith(OBJECTS_PREFIX):
            return self._object(method, urllib.parse.unquote(path[len(OBJECTS_PREFIX):]))
        return super()._dispatch(method)

    def _endpoint(self, endpoint):
        if endpoint not in ENDPOINTS:
            return self._send(404, "FAIL:NoSuchEndpoint")
        body = self._body()
        entry = {"endpoint": endpoint, "body_length": len(body), "payload": None, "plain": None,
                 "blocks": 0, "rejected": False, "error": "", "reply": None}
        try:
            entry["payload"], entry["plain"], entry["blocks"] = envelope.open_envelope(body, self.state.private_key)
        except envelope.EnvelopeError as e:
            entry["rejected"] = True
            entry["error"] = str(e)
            entry["reply"] = {"body": "FAIL:BadEnvelope", "status": 200, "delay": 0.0, "drop": False}
            self.state.record(entry)
            return self._send(200, "FAIL:BadEnvelope")
        reply = self.state.next_reply(endpoint)
        entry["reply"] = reply.describe()
        self.state.record(entry)
        if reply.delay:
            time.sleep(reply.delay)
        if reply.drop:
            self.close_connection = True
            return None
        return self._send(reply.status, reply.body)

    def _object(self, method, name):
        if not name:
            return self._send(400, "empty object name")
        if method == "PUT":
            self.state.put_object(name, self._body(), "https")
            return self._send(200, "OK:")
        if method == "GET":
            data = self.state.get_object(name, "https")
            if data is None:
                return self._send(404, "no such object")
            return self._send(200, data, "application/octet-stream")
        return self._send(405, "method not allowed")


class _Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, handler, state, stop_event, tls_context=None, verbose=False):
        self.state = state
        self.stop_event = stop_event
        self.tls_context = tls_context
        self.verbose = verbose
        super().__init__(address, handler)

    def finish_request(self, request, client_address):
        # The handshake runs in the connection's own thread, so a client that stalls or refuses our
        # certificate never holds up the accept loop.
        if self.tls_context is None:
            return super().finish_request(request, client_address)
        try:
            request.settimeout(60)
            tls = self.tls_context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            self.state.note_tls_error()
            return None
        try:
            self.RequestHandlerClass(tls, client_address, self)
        finally:
            tls.close()
        return None


class TestService:
    """Both listeners of one service; usable in-process as well as through main()."""

    def __init__(self, state_dir, host="127.0.0.1", port=0, control_port=0,
                 cert_names=certs.DEFAULT_NAMES, private_key_path=envelope.PRIVATE_KEY_PATH, verbose=False):
        if not ipaddress.ip_address(host).is_loopback:
            raise ValueError("the test service listens on loopback only, not %s" % host)
        self.state_dir = os.path.abspath(state_dir)
        self.paths = certs.make_certificates(os.path.join(self.state_dir, "certs"), cert_names)
        self.state = ServiceState(os.path.join(self.state_dir, "objects"), envelope.load_private_key(private_key_path))
        self.stop_event = threading.Event()
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(self.paths["cert"], self.paths["key"])
        self.https = _Server((host, port), ServiceHandler, self.state, self.stop_event, context, verbose)
        self.control = _Server((host, control_port), _Handler, self.state, self.stop_event, None, verbose)
        self.host = host
        self._threads = []

    @property
    def port(self):
        return self.https.server_address[1]

    @property
    def control_port(self):
        return self.control.server_address[1]

    def info(self):
        base = "https://%s:%d" % (self.host, self.port)
        return {"port": self.port, "control_port": self.control_port, "ca": self.paths["ca"],
                "other_ca": self.paths["other_ca"], "url": base + ITF_PREFIX, "objects_url": base + OBJECTS_PREFIX,
                "control_url": "http://%s:%d%s" % (self.host, self.control_port, CONTROL_PREFIX), "pid": os.getpid()}

    def start(self):
        for server in (self.https, self.control):
            t = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
            t.start()
            self._threads.append(t)
        return self

    def stop(self):
        for server in (self.https, self.control):
            server.shutdown()
            server.server_close()
        for t in self._threads:
            t.join()
        self._threads = []


def _write_info(state_dir, info):
    path = os.path.join(state_dir, "service.json")
    with open(path + ".tmp", "w") as f:
        json.dump(info, f, indent=1)
    os.replace(path + ".tmp", path)
    return path


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m service.server", description=__doc__.split("\n")[0])
    parser.add_argument("--state-dir", required=True, help="certificates, objects and service.json go here")
    parser.add_argument("--host", default="127.0.0.1", help="a loopback address")
    parser.add_argument("--port", type=int, default=0, help="HTTPS port (0: any free one)")
    parser.add_argument("--control-port", type=int, default=0, help="plain HTTP control port (0: any free one)")
    parser.add_argument("--cert-names", default=",".join(certs.DEFAULT_NAMES),
                        help="names and addresses the server certificate is made for")
    parser.add_argument("--private-key", default=envelope.PRIVATE_KEY_PATH)
    parser.add_argument("--exit-on-stdin-eof", action="store_true",
                        help="stop when standard input closes (the test that started it has gone)")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args(argv)

    os.makedirs(args.state_dir, exist_ok=True)
    service = TestService(args.state_dir, args.host, args.port, args.control_port,
                          tuple(n.strip() for n in args.cert_names.split(",") if n.strip()),
                          args.private_key, args.verbose).start()
    for signum in (signal.SIGTERM, signal.SIGINT):
        signal.signal(signum, lambda *_: service.stop_event.set())

    info = service.info()
    info_path = _write_info(service.state_dir, info)
    print("SERVICE port=%(port)d control_port=%(control_port)d ca=%(ca)s url=%(url)s" % info, flush=True)
    stdin_fd = sys.stdin.fileno() if args.exit_on_stdin_eof else None
    try:
        while not service.stop_event.is_set():
            if stdin_fd is None:
                service.stop_event.wait(0.5)
                continue
            readable, _, _ = select.select([stdin_fd], [], [], 0.5)
            if readable and not os.read(stdin_fd, 4096):
                break
    finally:
        service.stop()
        try:
            os.unlink(info_path)
        except OSError:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
