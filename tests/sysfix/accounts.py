"""Local user accounts that exist only while a test needs them."""
import os
import pwd
import subprocess


def is_root():
    return os.geteuid() == 0


class LocalAccounts:
    """Creates the named accounts (no home, no login) and removes those it created."""

    def __init__(self, *names):
        self.names = names
        self.created = []

    def __enter__(self):
        for name in self.names:
            try:
                pwd.getpwnam(name)
            except KeyError:
                subprocess.run(["useradd", "--no-create-home", "--no-user-group", "--shell",
                                "/usr/sbin/nologin", name], check=True)
                self.created.append(name)
        return self

    def __exit__(self, *exc):
        for name in self.created:
            subprocess.run(["userdel", name], check=False)
        self.created = []

    @staticmethod
    def uid(name):
        return pwd.getpwnam(name).pw_uid
