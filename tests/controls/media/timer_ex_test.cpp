#include "controls/media/timer_ex.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace lumeno {
namespace {

// Ticks with the thread each ran on.
struct TickLog {
    std::mutex mutex;
    std::vector<std::thread::id> threads;
    TNotifyEvent Handler()
    {
        return [this](TObject*) {
            std::lock_guard lock(mutex);
            threads.push_back(std::this_thread::get_id());
        };
    }
    std::size_t Count()
    {
        std::lock_guard lock(mutex);
        return threads.size();
    }
    bool AllOn(std::thread::id id)
    {
        std::lock_guard lock(mutex);
        for (auto t : threads)
            if (t != id)
                return false;
        return true;
    }
};

void Wait(int ms)
{
    QTest::qWait(ms);
}

bool WaitFor(const std::function<bool()>& done, int ms = 3000)
{
    return QTest::qWaitFor(done, ms);
}

TEST(TimerEx, DefaultsAndWindowTimerTicksOnMainThread)
{
    TTimerEx timer;
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_FALSE(timer.Threaded());
    EXPECT_EQ(timer.ThreadPriority(), TThreadPriority::tpNormal);
    TickLog log;
    timer.SetInterval(10);
    timer.SetOnTimer(log.Handler());
    ASSERT_TRUE(WaitFor([&] { return log.Count() >= 3; }));
    EXPECT_TRUE(log.AllOn(std::this_thread::get_id()));
}

TEST(TimerEx, ThreadedTicksAreDeliveredOnMainThreadUnlessThreadSafe)
{
    const auto main = std::this_thread::get_id();
    {
        TTimerEx timer;
        TickLog log;
        timer.SetInterval(10);
        timer.SetThreaded(true);
        timer.SetOnTimer(log.Handler());
        ASSERT_TRUE(WaitFor([&] { return log.Count() >= 3; }));
        EXPECT_TRUE(log.AllOn(main));
    }
    TTimerEx timer;
    TickLog log;
    timer.SetInterval(10);
    timer.SetThreaded(true);
    timer.SetThreadSafe(true);
    timer.SetOnTimer(log.Handler());
    // No event processing needed: the worker calls the handler itself.
    for (int i = 0; i < 300 && log.Count() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(log.Count(), 3u);
    std::lock_guard lock(log.mutex);
    EXPECT_NE(log.threads.front(), main);
}

TEST(TimerEx, NoIntervalNoHandlerOrDisabledNeverFires)
{
    for (bool threaded : {false, true}) {
        TickLog log;
        TTimerEx zero;
        zero.SetThreaded(threaded);
        zero.SetInterval(0);
        zero.SetOnTimer(log.Handler());
        TTimerEx disabled;
        disabled.SetThreaded(threaded);
        disabled.SetInterval(5);
        disabled.SetOnTimer(log.Handler());
        disabled.SetEnabled(false);
        TTimerEx noHandler;
        noHandler.SetThreaded(threaded);
        noHandler.SetInterval(5);
        Wait(80);
        EXPECT_EQ(log.Count(), 0u) << "threaded " << threaded;
        // and a disabled timer comes back
        disabled.SetEnabled(true);
        EXPECT_TRUE(WaitFor([&] { return log.Count() >= 1; }));
    }
}

TEST(TimerEx, SwitchingThreadedOffMidSleepDoesNotFireFromTheOldWorker)
{
    TTimerEx timer;
    TickLog log;
    timer.SetThreadSafe(true); // worker ticks would show up on another thread
    timer.SetThreaded(true);
    timer.SetInterval(120);
    timer.SetOnTimer(log.Handler());
    Wait(40);
    timer.SetThreaded(false);
    ASSERT_TRUE(WaitFor([&] { return log.Count() >= 2; }));
    EXPECT_TRUE(log.AllOn(std::this_thread::get_id()));

    // and back on: the new worker takes over
    timer.SetThreaded(true);
    const std::size_t before = log.Count();
    for (int i = 0; i < 400 && log.Count() == before; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(log.Count(), before);
}

TEST(TimerEx, FreeingTheOwnerStopsTicksOnEveryPath)
{
    std::atomic<int> ticks{0};
    for (bool threadSafe : {false, true}) {
        auto timer = std::make_unique<TTimerEx>();
        timer->SetThreaded(true);
        timer->SetThreadSafe(threadSafe);
        timer->SetInterval(1);
        timer->SetOnTimer([&](TObject*) {
            ++ticks;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // ticks queue up unprocessed
        timer.reset();
        const int seen = ticks;
        Wait(30); // queued ticks of the freed timer must be dropped
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(ticks, seen);
    }
}

} // namespace
} // namespace lumeno
