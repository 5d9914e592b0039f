"""kwprint as CUPS runs it: arguments, the three spool files, ownership, failures, log records."""
import os
import re
import shutil
import signal
import stat
import subprocess
import tempfile
import time
import unittest

from sysfix.accounts import LocalAccounts, is_root
from sysfix.paths import binary

KWPRINT = binary("backend", "kwprint")
UUID = r"[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"
RECORD = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (INFO |ERROR) \[\d+\] \[[^@\]]+@\d+\] (.*)$")
ALICE, BOB = "tavtest-alice", "tavtest-bob"


@unittest.skipUnless(is_root(), "the backend runs as root under cupsd")
class KwprintTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.accounts = LocalAccounts(ALICE, BOB).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.accounts.__exit__(None, None, None)

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="kwprint-test-")
        self.file_dir = os.path.join(self.tmp, "files")
        os.makedirs(os.path.join(self.file_dir, "bin"))
        self.root = os.path.join(self.file_dir, "bin", "tavrin") + "/"
        self.log = os.path.join(self.tmp, "tavrinback.log")

    def tearDown(self):
        shutil.rmtree(self.tmp, ignore_errors=True)

    def run_backend(self, *args, stdin=b"", argv0="tavrin://printer"):
        env = dict(os.environ, TAVRIN_FILE_DIR=self.file_dir, TAVRIN_BACKEND_LOG=self.log)
        return subprocess.run([argv0 if argv0 else KWPRINT] + list(args), executable=KWPRINT, input=stdin,
                              env=env, capture_output=True, timeout=60)

    def records(self):
        with open(self.log, encoding="utf-8") as f:
            lines = f.read().splitlines()
        out = []
        for line in lines:
            m = RECORD.match(line)
            self.assertIsNotNone(m, line)
            out.append((m.group(1).strip(), m.group(2)))
        return out

    def job_files(self, user):
        d = self.root + user
        return sorted(os.listdir(d)) if os.path.isdir(d) else []

    def test_job_from_file_and_from_stdin(self):
        src = os.path.join(self.tmp, "in.pdf")
        with open(src, "wb") as f:
            f.write(b"%PDF-1.4 from file\n\x00\xff")
        for args, stdin, expected, copied in (
                (("7", ALICE, "My Report 2.pdf", "2", "PageSize=A4 Collate=True", src), b"ignored",
                 b"%PDF-1.4 from file\n\x00\xff", "copy ok"),
                (("8", ALICE, "from pipe", "1", ""), b"%PDF-1.4 from stdin", b"%PDF-1.4 from stdin", "print ok"),
                (("9", ALICE, "empty", "1", "a=b"), b"", b"", "print ok")):
            with self.subTest(title=args[2]):
                for name in self.job_files(ALICE):
                    os.unlink(self.root + ALICE + "/" + name)
                open(self.log, "w").close()
                r = self.run_backend(*args, stdin=stdin)
                self.assertEqual(r.returncode, 0, r.stderr)
                self.assertEqual(r.stdout, b"")
                files = self.job_files(ALICE)
                self.assertEqual(len(files), 3, files)
                job_id = files[0][:-len(".tmp")]
                self.assertRegex(job_id, "^" + UUID + "$")
                self.assertEqual(files, [job_id + ".tmp", job_id + ".tmp.ctrl", job_id + ".tmp.done"])
                d = self.root + ALICE + "/"
                doc = d + job_id + ".tmp"
                with open(doc, "rb") as f:
                    self.assertEqual(f.read(), expected)
                with open(doc + ".ctrl", "rb") as f:
                    self.assertEqual(f.read(), (
                        "JOB_FILE=%s\nUSER=%s\nDOCNAME=%s\nCOPY=%s\nPORT=tavrin://printer\nJOBID=%s\nOPTION=%s\n"
                        % (doc, ALICE, args[2], args[3], job_id, args[4])).encode())
                with open(doc + ".done", "rb") as f:
                    self.assertEqual(f.read(), job_id.encode())
                uid = LocalAccounts.uid(ALICE)
                for name in files:
                    st = os.lstat(d + name)
                    self.assertEqual((st.st_uid, stat.S_IMODE(st.st_mode)), (uid, 0o600), name)
                st = os.lstat(d)
                self.assertEqual((st.st_uid, stat.S_IMODE(st.st_mode)), (uid, 0o700))
                st = os.lstat(self.root)
                self.assertEqual((st.st_uid, stat.S_IMODE(st.st_mode)), (0, 0o711))
                expected_records = [("INFO", "receive job from:tavrin://printer")]
                if len(args) == 6:
                    expected_records.append(("INFO", "spool file:" + src))
                expected_records += [("INFO", "start job:%s for:%s" % (job_id, ALICE)), ("INFO", copied),
                                     ("INFO", "done")]
                self.assertEqual(self.records(), expected_records)

    def test_argument_counts(self):
        cases = (((), "param error:tavrin://printer"),
                 (("1", ALICE), "usage: kwprint job-id user title copies options [file]"),
                 (("1", ALICE, "t", "1"), "usage: kwprint job-id user title copies options [file]"),
                 (("1", ALICE, "t", "1", "", "/f", "extra"),
                  "usage: kwprint job-id user title copies options [file]"))
        for args, record in cases:
            with self.subTest(argc=len(args) + 1):
                open(self.log, "w").close()
                r = self.run_backend(*args)
                self.assertEqual((r.returncode, r.stdout, r.stderr), (0, b"", b""))
                self.assertEqual(self.records()[-1], ("INFO", record))
                self.assertFalse(os.path.exists(self.root))

    def test_unsafe_or_unknown_user_writes_nothing(self):
        canary = os.path.join(self.tmp, "canary")
        os.mkdir(canary)
        os.chmod(canary, 0o755)
        for user in ("", ".", "..", "../../canary", "a/b", "bob\nCOPY=9", "x" * 256, "no-such-account-here"):
            with self.subTest(user=user):
                r = self.run_backend("1", user, "t", "1", "", stdin=b"data")
                self.assertEqual(r.returncode, 5)
                self.assertTrue(r.stderr.startswith(b"ERROR: "), r.stderr)
                self.assertEqual(self.records()[-1][0], "ERROR")
                self.assertEqual(os.listdir(canary), [])
                self.assertEqual(stat.S_IMODE(os.stat(canary).st_mode), 0o755)
                self.assertEqual(os.listdir(self.root) if os.path.isdir(self.root) else [], [])

    def test_unreadable_print_file_is_not_reported_as_printed(self):
        r = self.run_backend("1", ALICE, "t", "1", "", os.path.join(self.tmp, "missing.pdf"))
        self.assertEqual(r.returncode, 5)
        self.assertIn(b"ERROR: ", r.stderr)
        self.assertEqual(self.job_files(ALICE), [])

    def test_full_disk_leaves_no_partial_job(self):
        spool_fs = os.path.join(self.file_dir, "bin")
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", spool_fs]).returncode != 0:
            self.skipTest("cannot mount a small tmpfs here")
        try:
            r = self.run_backend("1", ALICE, "big", "1", "", stdin=b"x" * (1 << 20))
            self.assertEqual(r.returncode, 5)
            self.assertIn(b"ERROR: ", r.stderr)
            self.assertEqual(self.job_files(ALICE), [])
        finally:
            subprocess.run(["umount", spool_fs])

    def test_old_open_directories_are_made_private(self):
        os.makedirs(self.root + BOB)
        os.chmod(self.root, 0o777)
        os.chmod(self.root + BOB, 0o777)
        r = self.run_backend("1", BOB, "t", "1", "", stdin=b"x")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(stat.S_IMODE(os.stat(self.root).st_mode), 0o711)
        st = os.stat(self.root + BOB)
        self.assertEqual((st.st_uid, stat.S_IMODE(st.st_mode)), (LocalAccounts.uid(BOB), 0o700))
        self.assertEqual(len(self.job_files(BOB)), 3)

    def test_planted_symlink_is_never_followed(self):
        target = os.path.join(self.tmp, "victim")
        os.mkdir(target)
        os.makedirs(self.root)
        os.symlink(target, self.root + ALICE)
        r = self.run_backend("1", ALICE, "t", "1", "", stdin=b"x")
        self.assertEqual(r.returncode, 5)
        self.assertEqual(os.listdir(target), [])
        self.assertEqual(os.stat(target).st_uid, 0)

    def test_two_jobs_in_a_row_are_independent(self):
        self.run_backend("1", ALICE, "a", "1", "", stdin=b"one")
        self.run_backend("2", ALICE, "b", "1", "", stdin=b"two")
        files = self.job_files(ALICE)
        self.assertEqual(len(files), 6)
        self.assertEqual(len({f.split(".")[0] for f in files}), 2)

    def test_cancelled_job_is_removed(self):
        env = dict(os.environ, TAVRIN_FILE_DIR=self.file_dir, TAVRIN_BACKEND_LOG=self.log)
        p = subprocess.Popen(["tavrin://printer", "1", ALICE, "t", "1", ""], executable=KWPRINT, env=env,
                             stdin=subprocess.PIPE, stderr=subprocess.PIPE)
        p.stdin.write(b"partial data")
        p.stdin.flush()
        deadline = time.time() + 10
        while time.time() < deadline and not self.job_files(ALICE):
            time.sleep(0.01)
        self.assertEqual(len(self.job_files(ALICE)), 1, "the document is being written")
        p.send_signal(signal.SIGTERM)
        p.wait(timeout=10)
        p.stdin.close()
        p.stderr.close()
        self.assertEqual(p.returncode, 5)
        self.assertEqual(self.job_files(ALICE), [])


if __name__ == "__main__":
    unittest.main()
