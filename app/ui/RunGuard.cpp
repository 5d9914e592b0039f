#include "ui/RunGuard.h"

#include <QCryptographicHash>

namespace {

// The same for every user and login, so the guard is machine-wide.
QString generateKeyHash(const QString &key, const QString &salt)
{
    QByteArray data = key.toUtf8();
    data.append(salt.toUtf8());
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

} // namespace

RunGuard::RunGuard(const QString &key)
    : key(key), memLockKey(generateKeyHash(key, QStringLiteral("_mem_lock_key"))),
      sharedmemKey(generateKeyHash(key, QStringLiteral("_shared_mem_key"))), sharedMem(sharedmemKey),
      memLock(memLockKey, 1)
{
    // A segment left by a crashed instance lives until its last handle
    // detaches: attaching and detaching once removes such an orphan.
    memLock.acquire();
    {
        QSharedMemory fix(sharedmemKey);
        fix.attach();
    }
    memLock.release();
}

RunGuard::~RunGuard()
{
    release();
}

bool RunGuard::is_another_running()
{
    if (sharedMem.isAttached())
        return false;
    memLock.acquire();
    const bool isRunning = sharedMem.attach();
    if (isRunning)
        sharedMem.detach();
    memLock.release();
    return isRunning;
}

bool RunGuard::try_to_run()
{
    if (is_another_running())
        return false;
    memLock.acquire();
    const bool created = sharedMem.create(8);
    memLock.release();
    if (!created) {
        release();
        return false;
    }
    return true;
}

void RunGuard::release()
{
    memLock.acquire();
    if (sharedMem.isAttached())
        sharedMem.detach();
    memLock.release();
}
