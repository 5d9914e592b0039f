#include "discovery/BoundedParallel.h"

#include <QThread>

#include <atomic>
#include <memory>
#include <vector>

namespace util {

void runBounded(int count, int maxThreads, const std::function<void(int)> &work)
{
    if (count <= 0)
        return;
    const int threads = qBound(1, maxThreads, count);
    if (threads == 1) {
        for (int i = 0; i < count; ++i)
            work(i);
        return;
    }
    // QThreads rather than bare std::threads: the work starts QProcesses,
    // which want a thread that Qt knows.
    std::atomic<int> next{0};
    std::vector<std::unique_ptr<QThread>> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back(QThread::create([&] {
            for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
                work(i);
        }));
        pool.back()->start();
    }
    for (const auto &thread : pool)
        thread->wait();
}

} // namespace util
