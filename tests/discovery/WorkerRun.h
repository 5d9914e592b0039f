#pragma once
// Runs a worker thread to its end and collects what it reported, through
// queued connections to an object of the test's thread, as a dialog would.

#include <QEventLoop>
#include <QObject>
#include <QThread>
#include <QTimer>

namespace tavrin::test {

// Starts `worker`, runs an event loop until `done` says so or `timeoutMs`
// passes, then waits for the thread. `connect` makes the queued connections
// to `receiver` and may call quit on the loop it is given.
template <typename Connect> bool runWorker(QThread &worker, Connect connect, int timeoutMs = 120000)
{
    QObject receiver;
    QEventLoop loop;
    connect(receiver, loop);
    bool timedOut = false;
    QTimer::singleShot(timeoutMs, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    worker.start();
    loop.exec();
    worker.wait();
    return !timedOut;
}

} // namespace tavrin::test
