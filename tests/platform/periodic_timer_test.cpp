#include "platform/periodic_timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace lumeno {
namespace {

using namespace std::chrono_literals;

TEST(PeriodicTimer, TicksOnItsOwnThreadUntilTheCallbackDeclines)
{
    TPeriodicTimer timer;
    std::atomic<int> ticks{0};
    std::atomic<bool> otherThread{false};
    const auto caller = std::this_thread::get_id();
    const auto started = std::chrono::steady_clock::now();
    timer.Start(5ms, [&] {
        otherThread = std::this_thread::get_id() != caller;
        return ++ticks < 3;
    });
    while (ticks < 3 && std::chrono::steady_clock::now() - started < 5s)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(otherThread);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 15ms);
    timer.Stop();
    EXPECT_FALSE(timer.Running());
}

TEST(PeriodicTimer, StopWaitsForATickInProgressAndRefusesAZeroPeriod)
{
    TPeriodicTimer timer;
    std::atomic<bool> inTick{false};
    std::atomic<bool> done{false};
    timer.Start(1ms, [&] {
        inTick = true;
        std::this_thread::sleep_for(20ms);
        done = true;
        return true;
    });
    while (!inTick)
        std::this_thread::sleep_for(1ms);
    timer.Stop();
    EXPECT_TRUE(done);
    EXPECT_THROW(timer.Start(0ms, [] { return true; }), std::invalid_argument);
}

} // namespace
} // namespace lumeno
