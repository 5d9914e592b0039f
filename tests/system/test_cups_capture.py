"""A real cupsd runs kwprint for the queue "塔文": what lp submits lands in the user's spool."""
import os
import re
import shutil
import stat
import tempfile
import time
import unittest

from sysfix.accounts import LocalAccounts, is_root
from sysfix.cupsd import CupsServer
from sysfix.paths import binary

QUEUE = "塔文"
ALICE, BOB = "tavtest-alice", "tavtest-bob"
UUID = r"[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"


def tree(top):
    out = set()
    for dirpath, dirnames, filenames in os.walk(top):
        for name in dirnames + filenames:
            out.add(os.path.relpath(os.path.join(dirpath, name), top))
    return out


@unittest.skipUnless(is_root(), "cupsd runs the backend as root")
class CupsCaptureTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="tavrin-capture-")
        os.chmod(cls.tmp, 0o755)
        cls.file_dir = os.path.join(cls.tmp, "files")
        os.makedirs(os.path.join(cls.file_dir, "bin"))
        cls.spool_root = os.path.join(cls.file_dir, "bin", "tavrin") + "/"
        cls.log = os.path.join(cls.tmp, "tavrinback.log")
        cls.accounts = LocalAccounts(ALICE, BOB).__enter__()
        try:
            cls.cups = CupsServer(binary("backend", "kwprint"),
                                  env={"TAVRIN_FILE_DIR": cls.file_dir, "TAVRIN_BACKEND_LOG": cls.log}).__enter__()
            cls.cups.run("lpadmin", "-p", QUEUE, "-E", "-v", "tavrin://printer", "-m", "raw")
        except BaseException:
            cls.tearDownClass()
            raise
        cls.document = os.path.join(cls.tmp, "report.pdf")
        with open(cls.document, "wb") as f:
            f.write(b"%PDF-1.4\n% a small document\n" + bytes(range(256)) * 64 + b"\n%%EOF\n")
        os.chmod(cls.document, 0o644)

    @classmethod
    def tearDownClass(cls):
        if getattr(cls, "cups", None):
            cls.cups.__exit__(None, None, None)
        cls.accounts.__exit__(None, None, None)
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def submit(self, user, *args):
        out = self.cups.run("lp", "-d", QUEUE, "-U", user, *args, self.document).stdout
        m = re.search(r"request id is \S+-(\d+)", out)
        self.assertIsNotNone(m, out)
        return int(m.group(1))

    def wait_for_marker(self, user, known, seconds):
        deadline = time.monotonic() + seconds
        d = self.spool_root + user
        while time.monotonic() < deadline:
            if os.path.isdir(d):
                markers = {n for n in os.listdir(d) if n.endswith(".done")} - known
                if markers:
                    return markers.pop()
            time.sleep(0.02)
        return None

    def job_outcome(self, job):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            log = self.cups.read_error_log()
            for outcome in ("Job completed.", "Job canceled at printer.", "Job stopped."):
                if "[Job %d] %s" % (job, outcome) in log:
                    return outcome
            time.sleep(0.05)
        return None

    def test_lp_job_reaches_the_users_spool_within_two_seconds(self):
        d = self.spool_root + ALICE + "/"
        known = set(os.listdir(d)) if os.path.isdir(d) else set()
        job = self.submit(ALICE, "-t", "My Report 2.pdf", "-n", "2", "-o", "PageSize=A4", "-o", "ColorModel=Gray")
        marker = self.wait_for_marker(ALICE, known, 2.0)
        self.assertIsNotNone(marker, "no done marker within 2 s")
        job_id = marker[:-len(".tmp.done")]
        self.assertRegex(job_id, "^" + UUID + "$")
        doc = d + job_id + ".tmp"

        with open(doc, "rb") as f, open(self.document, "rb") as g:
            self.assertEqual(f.read(), g.read())
        with open(doc + ".done", "rb") as f:
            self.assertEqual(f.read(), job_id.encode())
        with open(doc + ".ctrl", "rb") as f:
            control = f.read().decode()
        lines = control.split("\n")
        self.assertEqual(lines[-1], "", "the last line ends with a line feed")
        self.assertEqual(lines[:6], ["JOB_FILE=" + doc, "USER=" + ALICE, "DOCNAME=My Report 2.pdf", "COPY=2",
                                     "PORT=tavrin://printer", "JOBID=" + job_id])
        self.assertTrue(lines[6].startswith("OPTION="))
        self.assertEqual(len(lines), 8)
        options = lines[6][len("OPTION="):].split(" ")
        self.assertIn("PageSize=A4", options)
        self.assertIn("ColorModel=Gray", options)

        uid = LocalAccounts.uid(ALICE)
        for name in (doc, doc + ".ctrl", doc + ".done"):
            st = os.lstat(name)
            self.assertEqual((st.st_uid, stat.S_IMODE(st.st_mode)), (uid, 0o600), name)
        st = os.lstat(d)
        self.assertEqual((st.st_uid, stat.S_IMODE(st.st_mode)), (uid, 0o700))
        self.assertEqual(stat.S_IMODE(os.lstat(self.spool_root).st_mode), 0o711)
        self.assertEqual(self.job_outcome(job), "Job completed.")

        with open(self.log, encoding="utf-8") as f:
            records = [line.split("] ", 2)[2] for line in f.read().splitlines()]
        tail = records[records.index("start job:%s for:%s" % (job_id, ALICE)) - 2:]
        self.assertEqual(tail[0], "receive job from:tavrin://printer")
        self.assertTrue(tail[1].startswith("spool file:"), tail[1])
        self.assertEqual(tail[3:5], ["copy ok", "done"])

    def test_jobs_of_two_users_stay_apart(self):
        self.submit(ALICE, "-t", "for alice")
        self.submit(BOB, "-t", "for bob")
        self.assertIsNotNone(self.wait_for_marker(BOB, set(), 5.0))
        d = self.spool_root + BOB + "/"
        for name in os.listdir(d):
            if name.endswith(".ctrl"):
                with open(d + name) as f:
                    self.assertIn("USER=%s\n" % BOB, f.read())
        self.assertEqual(os.stat(d).st_uid, LocalAccounts.uid(BOB))

    def test_a_crafted_user_name_writes_nothing_outside_the_spool(self):
        before = tree(self.tmp)
        job = self.submit("../../tmp", "-t", "escape")
        self.assertEqual(self.job_outcome(job), "Job canceled at printer.")
        after = tree(self.tmp)
        new = {p for p in after - before if p != "tavrinback.log" and not p.startswith("files/bin/tavrin/" + ALICE)
               and not p.startswith("files/bin/tavrin/" + BOB)}
        self.assertEqual(new, set())
        self.assertFalse(os.path.exists(os.path.join(self.file_dir, "tmp")))
        with open(self.log, encoding="utf-8") as f:
            self.assertIn("ERROR", f.read().splitlines()[-1])
        queue = self.cups.run("lpstat", "-p", QUEUE).stdout
        self.assertNotIn("disabled", queue, "one bad job must not stop the queue")


if __name__ == "__main__":
    unittest.main()
