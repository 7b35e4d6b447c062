// The memory budget that background readers share: what counts against it,
// who waits, who is refused, and that no set of waiting threads deadlocks.

#include "imagelib/codecs/bmp_writer.h"
#include "imagelib/memory_budget.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/pixel_memory.h"
#include "platform/stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace lumeno {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t MB = 1 << 20;

// Pictures count, the small blocks around them (a thumbnail cell) do not.
TEST(MemoryBudget, BlocksCountUntilFreedAndAScopeGivesBackAllItHeld)
{
    TMemoryBudget budget(16 * MB);
    TPixelMemory outlives;
    {
        const TMemoryBudgetScope scope(budget);
        TPixelMemory large = AllocatePixelMemory(5 * MB);
        TPixelMemory medium = AllocatePixelMemory(MB);
        TPixelMemory small = AllocatePixelMemory(200000);
        ASSERT_TRUE(large && medium && small);
        EXPECT_EQ(budget.Used(), 6 * MB);
        large.reset();
        EXPECT_EQ(budget.Used(), MB);
        outlives = AllocatePixelMemory(3 * MB);
        {
            TMemoryReservation reserved(2 * MB);
            EXPECT_TRUE(reserved.Held());
            EXPECT_EQ(budget.Used(), 6 * MB);
        }
        EXPECT_EQ(budget.Used(), 4 * MB);
    }
    // A picture kept past its reader's scope (the read-ahead's) is no longer
    // counted, and freeing it later gives back nothing twice.
    EXPECT_EQ(budget.Used(), 0);
    outlives.reset();
    EXPECT_EQ(budget.Used(), 0);
    // Outside a scope nothing counts.
    const TPixelMemory unbudgeted = AllocatePixelMemory(5 * MB);
    EXPECT_EQ(budget.Used(), 0);
}

// One picture larger than the whole budget could never fit: it is refused
// at once, by the reader with its own message, instead of waiting forever.
TEST(MemoryBudget, APictureBeyondTheBudgetIsRefusedAtOnce)
{
    PGStartup();
    const auto bmpOf = [](int width, TMemoryStream& bmp) {
        TPixelGraphic picture;
        picture.SetDimensions(width, 1000, pf24Bit);
        TBMPFileFormatWriter().Write(bmp, picture);
        bmp.SetPosition(0);
    };
    TMemoryStream tooLarge, fitting;
    bmpOf(2000, tooLarge);
    bmpOf(1000, fitting);

    TMemoryBudget budget(4 * MB);
    const TMemoryBudgetScope scope(budget);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(AllocatePixelMemory(5 * MB));
    EXPECT_FALSE(TMemoryReservation(5 * MB).Held());
    TPixelGraphic loaded;
    try {
        loaded.LoadFromStreamAs(tooLarge, "bmp");
        ADD_FAILURE() << "loaded";
    } catch (const EPGBMPFileFormatReader& e) {
        EXPECT_STREQ(e.what(), "BMP: Invalid size of image");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(budget.Used(), 0);
    loaded.LoadFromStreamAs(fitting, "bmp");
    EXPECT_EQ(loaded.GetWidth(), 1000);
}

// A thread that holds nothing waits for the others to give back; its wait
// ends when it is stopped.
TEST(MemoryBudget, AnEmptyHandedDrawWaitsForRoomUntilStopped)
{
    TMemoryBudget budget(10 * MB);
    std::promise<void> held;
    std::promise<void> release;
    std::thread holder([&] {
        const TMemoryBudgetScope scope(budget);
        TPixelMemory block = AllocatePixelMemory(6 * MB);
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();

    // A waiter that hangs is stopped before the test fails: a future of
    // std::async would wait for it for ever.
    std::atomic<bool> giveUp = false;
    auto waiter = std::async(std::launch::async, [&] {
        const TMemoryBudgetScope scope(budget, [&] { return giveUp.load(); });
        return static_cast<bool>(AllocatePixelMemory(6 * MB));
    });
    EXPECT_EQ(waiter.wait_for(200ms), std::future_status::timeout);
    release.set_value();
    holder.join();
    const std::future_status granted = waiter.wait_for(5s);
    giveUp = true;
    ASSERT_EQ(granted, std::future_status::ready);
    EXPECT_TRUE(waiter.get());

    std::atomic<bool> stop = false;
    const TMemoryBudgetScope scope(budget);
    TPixelMemory block = AllocatePixelMemory(6 * MB);
    auto stopped = std::async(std::launch::async, [&] {
        const TMemoryBudgetScope other(budget, [&] { return stop.load(); });
        return static_cast<bool>(AllocatePixelMemory(6 * MB));
    });
    EXPECT_EQ(stopped.wait_for(200ms), std::future_status::timeout);
    stop = true;
    const std::future_status ended = stopped.wait_for(2s);
    block.reset();
    ASSERT_EQ(ended, std::future_status::ready);
    EXPECT_FALSE(stopped.get());
}

// Two threads each holding part of the budget and each wanting more than
// is left would wait for each other for ever: the second to ask is refused,
// gives back what it held, and the other goes on.
TEST(MemoryBudget, HoldersWaitingForEachOtherDoNotDeadlock)
{
    TMemoryBudget budget(10 * MB);
    std::promise<void> holds[2];
    std::shared_future<void> bothHold[2] = {holds[0].get_future().share(), holds[1].get_future().share()};
    std::atomic<bool> giveUp = false;
    const auto worker = [&](int self) {
        const TMemoryBudgetScope scope(budget, [&] { return giveUp.load(); });
        TPixelMemory mine = AllocatePixelMemory(4 * MB);
        holds[self].set_value();
        bothHold[1 - self].wait();
        return static_cast<bool>(AllocatePixelMemory(5 * MB));
    };
    auto first = std::async(std::launch::async, worker, 0);
    auto second = std::async(std::launch::async, worker, 1);
    const bool bothEnded =
        first.wait_for(5s) == std::future_status::ready && second.wait_for(5s) == std::future_status::ready;
    giveUp = true;
    ASSERT_TRUE(bothEnded);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(budget.Used(), 0);
}

} // namespace
} // namespace lumeno
