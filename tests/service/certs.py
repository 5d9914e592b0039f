"""A throw-away CA and server certificate, made with the openssl tool for one run of the service."""

import os
import subprocess

OPENSSL = "/usr/bin/openssl"
DEFAULT_NAMES = ("127.0.0.1", "localhost")


def _run(args, cwd):
    result = subprocess.run([OPENSSL] + args, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        raise RuntimeError("openssl %s failed: %s" % (args[0], result.stdout.strip()))


def _make_ca(directory, stem, common_name):
    _run(["req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
          "-keyout", stem + ".key", "-out", stem + ".pem", "-days", "2", "-subj", "/CN=" + common_name,
          "-addext", "basicConstraints=critical,CA:TRUE",
          "-addext", "keyUsage=critical,keyCertSign,cRLSign"], directory)
    return os.path.join(directory, stem + ".pem")


def _san(names):
    entries = []
    for name in names:
        kind = "IP" if name.replace(".", "").isdigit() or ":" in name else "DNS"
        entries.append("%s:%s" % (kind, name))
    return ",".join(entries)


def make_certificates(directory, names=DEFAULT_NAMES):
    """Writes ca.pem, server.pem/server.key (for `names`, signed by ca.pem) and other_ca.pem (an
    unrelated CA that tests use as the wrong trust anchor). Returns a dict of the paths."""
    os.makedirs(directory, exist_ok=True)
    ca = _make_ca(directory, "ca", "Tavrin Test Service CA")
    other_ca = _make_ca(directory, "other_ca", "Tavrin Unrelated CA")
    _run(["req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
          "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=" + names[0]], directory)
    with open(os.path.join(directory, "server.ext"), "w") as ext:
        ext.write("basicConstraints=critical,CA:FALSE\n")
        ext.write("keyUsage=critical,digitalSignature,keyEncipherment\n")
        ext.write("extendedKeyUsage=serverAuth\n")
        ext.write("subjectAltName=%s\n" % _san(names))
    _run(["x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
          "-out", "server.pem", "-days", "2", "-extfile", "server.ext"], directory)
    return {
        "ca": ca,
        "other_ca": other_ca,
        "cert": os.path.join(directory, "server.pem"),
        "key": os.path.join(directory, "server.key"),
    }
