"""Starting and stopping the harness's own processes, identified by pid and
start time so that a recycled pid is never mistaken for ours."""

import os
import signal
import subprocess
import time


def start_time(pid):
    """The process's start time in clock ticks, or None when it does not exist."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
    except OSError:
        return None
    # The command name may hold blanks and parentheses; fields follow the last ')'.
    return int(stat[stat.rindex(")") + 2:].split()[19])


def alive(pid, started=None):
    st = start_time(pid)
    if st is None:
        return False
    if started is not None and st != started:
        return False
    try:
        with open("/proc/%d/stat" % pid) as f:
            state = f.read().rsplit(")", 1)[1].split()[0]
        return state != "Z"
    except OSError:
        return False


def identity(pid):
    return {"pid": pid, "start": start_time(pid)}


def spawn(argv, log_path, env=None, cwd=None):
    """Starts argv detached (own session, no terminal), output appended to log_path."""
    with open(log_path, "ab") as log:
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                env=env, cwd=cwd, start_new_session=True, close_fds=True)
    return proc


def stop(pids, grace=3.0):
    """TERM, then KILL after grace seconds, for the given {"pid","start"} identities or pids."""
    targets = []
    for p in pids:
        pid, started = (p["pid"], p.get("start")) if isinstance(p, dict) else (p, None)
        if pid and pid != os.getpid() and alive(pid, started):
            targets.append((pid, started))
            try:
                os.kill(pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
    deadline = time.monotonic() + grace
    while targets and time.monotonic() < deadline:
        targets = [t for t in targets if alive(*t)]
        if targets:
            time.sleep(0.05)
    for pid, started in targets:
        if alive(pid, started):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
    for pid, started in targets:
        for _ in range(100):
            if not alive(pid, started):
                break
            time.sleep(0.02)

