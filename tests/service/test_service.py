"""The test service itself: envelope, scripted replies, records, objects and its certificate."""

import base64
import http.client
import json
import os
import ssl
import tempfile
import unittest

from cryptography.hazmat.primitives import serialization
from cryptography.hazmat.primitives.asymmetric import padding, rsa

from service import envelope
from service.fixture import ServiceProcess
from service.server import ENDPOINTS, TestService

STYLED = '{\n   "deviceId" : "%s"\n}\n'


def post(svc, endpoint, body, host="127.0.0.1", cafile=None):
    """(status, reply text) of one POST, or the exception the client raised."""
    context = ssl.create_default_context(cafile=cafile or svc.ca)
    conn = http.client.HTTPSConnection(host, svc.port, context=context, timeout=30)
    try:
        conn.request("POST", "/tavrin/itf/" + endpoint, body=body)
        response = conn.getresponse()
        return response.status, response.read().decode("utf-8")
    finally:
        conn.close()


def https(svc, method, path, body=None):
    context = ssl.create_default_context(cafile=svc.ca)
    conn = http.client.HTTPSConnection("localhost", svc.port, context=context, timeout=30)
    try:
        conn.request(method, path, body=body)
        response = conn.getresponse()
        return response.status, response.read()
    finally:
        conn.close()


class ServiceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.svc = ServiceProcess().start()

    @classmethod
    def tearDownClass(cls):
        cls.svc.stop()

    def setUp(self):
        self.svc.reset()

    def test_key_pair_in_fixtures_matches(self):
        derived = envelope.load_private_key().public_key().public_bytes(
            serialization.Encoding.PEM, serialization.PublicFormat.SubjectPublicKeyInfo)
        with open(envelope.PUBLIC_KEY_PATH, "rb") as f:
            self.assertEqual(derived.strip(), f.read().strip())
        self.assertEqual(envelope.load_private_key().key_size, 2048)

    def test_envelopes_of_one_and_several_blocks_are_opened(self):
        # P of 244 bytes fits one 245-byte chunk; 248 needs two; a long payload needs many.
        for device_id, blocks in (("a" * 158, 1), ("a" * 161, 2), ("b" * 2000, 12)):
            text = STYLED % device_id
            self.assertEqual(len(base64.b64encode(text.encode())), {1: 244, 2: 248}.get(blocks, 2700))
            body = envelope.seal(text)
            self.assertEqual(len(base64.b64decode(body)), 256 * blocks)
            self.assertEqual(post(self.svc, "license/removeDevice", body), (200, "OK:"))
        got = self.svc.requests("license/removeDevice")
        self.assertEqual([r["blocks"] for r in got], [1, 2, 12])
        self.assertEqual(got[0]["plain"], STYLED % ("a" * 158))
        self.assertEqual(got[2]["payload"], {"deviceId": "b" * 2000})
        self.assertFalse(any(r["rejected"] for r in got))

    def test_bodies_that_do_not_decrypt_are_refused_and_recorded(self):
        other_key = rsa.generate_private_key(public_exponent=65537, key_size=2048).public_key()
        not_json = base64.b64encode(envelope.load_public_key().encrypt(
            base64.b64encode(b"not json"), padding.PKCS1v15()))
        cases = [
            ("not base64", b"%%%"),
            ("empty body", b""),
            ("short cipher text", base64.b64encode(b"x" * 100)),
            ("another service's key", envelope.seal(STYLED % "x", other_key)),
            ("not JSON inside", not_json),
            ("JSON but no object", envelope.seal("[1, 2]\n")),
        ]
        for name, body in cases:
            with self.subTest(name):
                self.assertEqual(post(self.svc, "license/addDevice", body), (200, "FAIL:BadEnvelope"))
        got = self.svc.requests("license/addDevice")
        self.assertEqual(len(got), len(cases))
        self.assertTrue(all(r["rejected"] and r["error"] for r in got))
        self.assertEqual(self.svc.stats()["rejected"], len(cases))

    def test_scripted_replies_are_used_in_order_then_the_default(self):
        self.svc.script("license/removeDevice", ["FAIL:DeviceNotExist", {"body": "FAIL:Busy", "status": 503}],
                        default="OK:gone")
        body = envelope.seal(STYLED % "d1")
        replies = [post(self.svc, "license/removeDevice", body) for _ in range(3)]
        self.assertEqual(replies, [(200, "FAIL:DeviceNotExist"), (503, "FAIL:Busy"), (200, "OK:gone")])
        # Other endpoints keep their own defaults.
        self.assertEqual(post(self.svc, "license/addDevice", body), (200, "OK:"))

    def test_every_endpoint_answers_and_star_scripts_all(self):
        body = envelope.seal(STYLED % "d1")
        for endpoint in ENDPOINTS:
            status, text = post(self.svc, endpoint, body)
            self.assertEqual(status, 200)
            self.assertTrue(text.startswith("OK:"), endpoint)
        self.svc.script("*", default="FAIL:Maintenance")
        for endpoint in ENDPOINTS:
            self.assertEqual(post(self.svc, endpoint, body), (200, "FAIL:Maintenance"))
        self.assertEqual(post(self.svc, "license/unknown", body)[0], 404)

    def test_dropped_connection_and_delay(self):
        self.svc.script("license/addDevice", [{"drop": True}, {"body": "OK:late", "delay": 0.2}])
        body = envelope.seal(STYLED % "d1")
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError, ssl.SSLError)):
            post(self.svc, "license/addDevice", body)
        self.assertEqual(post(self.svc, "license/addDevice", body), (200, "OK:late"))
        # A dropped request was still received and recorded.
        self.assertEqual(len(self.svc.requests("license/addDevice")), 2)

    def test_certificate_is_checked_by_clients(self):
        body = envelope.seal(STYLED % "d1")
        self.assertEqual(post(self.svc, "license/addDevice", body, host="localhost")[1], "OK:")
        with self.assertRaises(ssl.SSLCertVerificationError):
            post(self.svc, "license/addDevice", body, cafile=self.svc.other_ca)
        # The refused client never got as far as sending its request.
        self.assertEqual(self.svc.stats()["tls_errors"], 1)
        self.assertEqual(len(self.svc.requests()), 1)

    def test_objects_are_stored_served_and_logged(self):
        self.assertEqual(https(self.svc, "PUT", "/objects/logs%2Fc1.tar.gz", b"\x00\x01archive")[0], 200)
        self.assertEqual(https(self.svc, "GET", "/objects/logs%2Fc1.tar.gz"), (200, b"\x00\x01archive"))
        self.assertEqual(https(self.svc, "GET", "/objects/missing.png")[0], 404)
        self.svc.put_object("ad1.png", b"PNG")
        self.assertEqual(https(self.svc, "GET", "/objects/ad1.png"), (200, b"PNG"))
        self.assertEqual(self.svc.get_object("logs/c1.tar.gz"), b"\x00\x01archive")
        self.assertEqual(sorted(o["name"] for o in self.svc.objects()), ["ad1.png", "logs/c1.tar.gz"])
        log = [(e["method"], e["via"], e["name"], e["status"]) for e in self.svc.object_log()]
        self.assertEqual(log[:3], [("PUT", "https", "logs/c1.tar.gz", 200), ("GET", "https", "logs/c1.tar.gz", 200),
                                   ("GET", "https", "missing.png", 404)])
        self.svc.reset()
        self.assertEqual(self.svc.objects(), [])

    def test_decrypt_control_gives_the_text_inside(self):
        for size, blocks in ((245, 1), (246, 2)):
            plain = bytes(range(65, 91)) * 10
            cipher = b"".join(envelope.load_public_key().encrypt(plain[:size][i:i + 245], padding.PKCS1v15())
                              for i in range(0, size, 245))
            status, answer = self.svc.decrypt(base64.b64encode(cipher))
            self.assertEqual(status, 200)
            self.assertEqual(answer["blocks"], blocks)
            self.assertEqual(base64.b64decode(answer["plain_b64"]), plain[:size])


class ServiceSetupTest(unittest.TestCase):
    def test_certificate_for_other_names_fails_host_check(self):
        with ServiceProcess(cert_names=["service.invalid"]) as svc:
            with self.assertRaises(ssl.SSLCertVerificationError) as raised:
                post(svc, "license/addDevice", envelope.seal(STYLED % "d1"))
            self.assertIn("match", str(raised.exception).lower())

    def test_listens_on_loopback_only(self):
        with tempfile.TemporaryDirectory() as tmp:
            with self.assertRaises(ValueError):
                TestService(tmp, host="192.0.2.1")

    def test_stops_and_removes_its_files(self):
        svc = ServiceProcess().start()
        state_dir, pid = svc.state_dir, svc.info["pid"]
        with open(os.path.join(state_dir, "service.json")) as f:
            self.assertEqual(json.load(f)["port"], svc.port)
        svc.stop()
        self.assertFalse(os.path.exists(state_dir))
        self.assertFalse(os.path.exists("/proc/%d" % pid))


if __name__ == "__main__":
    unittest.main()
