#pragma once
// One running instance per machine: a system-wide shared-memory segment whose
// existence marks the running instance, guarded by a system semaphore.

#include <QSharedMemory>
#include <QString>
#include <QSystemSemaphore>

class RunGuard
{
public:
    explicit RunGuard(const QString &key);
    ~RunGuard();
    RunGuard(const RunGuard &) = delete;
    RunGuard &operator=(const RunGuard &) = delete;

    bool is_another_running();
    // True when this process now holds the segment.
    bool try_to_run();
    void release();

private:
    const QString key;
    const QString memLockKey;
    const QString sharedmemKey;

    QSharedMemory sharedMem;
    QSystemSemaphore memLock;
};
