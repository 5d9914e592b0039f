#pragma once
// Runs work(i) for i in [0, count) on at most maxThreads threads and returns
// when all are done. Each index runs exactly once; work must not throw.

#include <functional>

namespace util {

void runBounded(int count, int maxThreads, const std::function<void(int)> &work);

} // namespace util
