#include "platform/qt/worker_pool.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {
namespace {

constexpr int kWaitMs = 10000;

// Waits without running the event loop, so no result is handed over.
bool WaitOffTheLoop(const std::atomic<int>& value, int wanted)
{
    for (int i = 0; i < kWaitMs && value < wanted; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return value >= wanted;
}

TEST(WorkerPool, WorkersTakeEachIndexOnceAndNeverPassTheLimit)
{
    std::atomic<int> taken = 0;
    std::mutex mutex;
    int highest = -1;
    std::vector<int> results(20, 0);
    TWorkerPool pool(20, [&](int index) -> std::function<void()> {
        {
            std::lock_guard lock(mutex);
            highest = std::max(highest, index);
        }
        ++taken;
        return [&results, index] { ++results[std::size_t(index)]; };
    });
    pool.Start(4, 3);
    ASSERT_TRUE(WaitOffTheLoop(taken, 3));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(taken, 3);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(highest, 2);
    }

    pool.SetLimit(20);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return std::count(results.begin(), results.end(), 1) == 20; }, kWaitMs));
    QTest::qWait(20);
    EXPECT_EQ(std::count(results.begin(), results.end(), 1), 20);
}

TEST(WorkerPool, StopDropsResultsNotYetHandedOver)
{
    std::atomic<int> taken = 0;
    int handedOver = 0;
    TWorkerPool pool(4, [&](int) -> std::function<void()> {
        ++taken;
        return [&handedOver] { ++handedOver; };
    });
    pool.Start(2, 4);
    ASSERT_TRUE(WaitOffTheLoop(taken, 4));
    pool.Stop();
    QTest::qWait(50);
    EXPECT_EQ(handedOver, 0);
}

} // namespace
} // namespace lumeno
