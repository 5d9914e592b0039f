"""Running the real client tools against simulated printers (for tests)."""

import os
import socket
import subprocess
import tempfile

GET_ATTRIBUTES = """{
  NAME "attributes"
  OPERATION Get-Printer-Attributes
  VERSION %(version)s
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword requested-attributes %(requested)s
  STATUS successful-ok
}
"""

PRINT_JOB = """{
  NAME "print"
  OPERATION Print-Job
  VERSION %(version)s
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR name requesting-user-name $user
  ATTR name job-name "%(job_name)s"
  ATTR mimeMediaType document-format %(format)s
  GROUP job-attributes-tag
  ATTR integer copies %(copies)d
  ATTR keyword sides %(sides)s
  ATTR keyword print-color-mode %(color)s
  FILE $filename
  STATUS successful-ok
  EXPECT job-id
  EXPECT job-uri
}
"""


def ipptool(uri, script, document=None, timeout=60):
    """Runs ipptool -t -v on a script text; returns (exit status, output)."""
    with tempfile.NamedTemporaryFile("w", suffix=".test", delete=False) as f:
        f.write(script)
        path = f.name
    try:
        argv = ["ipptool", "-t", "-v"]
        if document:
            argv += ["-f", document]
        r = subprocess.run(argv + [uri, path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, timeout=timeout)
        return r.returncode, r.stdout
    finally:
        os.unlink(path)


def get_attributes(uri, version="2.0", requested="all"):
    return ipptool(uri, GET_ATTRIBUTES % {"version": version, "requested": requested})


def print_job(uri, document, fmt="application/pdf", version="2.0", job_name="harness",
              copies=1, sides="one-sided", color="monochrome"):
    return ipptool(uri, PRINT_JOB % {"version": version, "job_name": job_name, "format": fmt,
                                     "copies": copies, "sides": sides, "color": color}, document)


def attributes(output):
    """ipptool -v output as {name: value text} (the last line of a name wins)."""
    result = {}
    for line in output.splitlines():
        line = line.strip()
        if " = " in line and " (" in line.split(" = ")[0]:
            name = line.split(" ", 1)[0]
            result[name] = line.split(" = ", 1)[1]
    return result


def snmpget(ip, oid, version="1", community="public"):
    """One get with the value printed alone (-O vq); returns (exit status, stdout)."""
    r = subprocess.run(["snmpget", "-v", version, "-c", community, "-t", "1", "-r", "0", ip, oid, "-O", "vq"],
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=30)
    return r.returncode, r.stdout


def snmpwalk(ip, version="2c", root=".1"):
    r = subprocess.run(["snmpwalk", "-v", version, "-c", "public", "-t", "1", "-r", "0", "-On", ip, root],
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=30)
    return r.returncode, r.stdout


def send_raw(ip, port, data, chunk=65536):
    """Sends data on a new TCP connection; returns (bytes written, error or None)."""
    sent = 0
    try:
        with socket.create_connection((ip, port), timeout=10) as s:
            while sent < len(data):
                sent += s.send(data[sent:sent + chunk])
            s.shutdown(socket.SHUT_WR)
            while s.recv(4096):
                pass
    except OSError as err:
        return sent, err
    return sent, None
