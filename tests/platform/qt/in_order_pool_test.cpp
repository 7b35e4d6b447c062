#include "platform/qt/in_order_pool.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace lumeno {
namespace {

constexpr int kWaitMs = 10000;

// Later indices finish first, so order can only come from the pool.
std::function<void()> SlowerForLowIndices(int count, int index, std::vector<int>& order)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * (count - index)));
    return [&order, index] { order.push_back(index); };
}

std::vector<int> Indices(int count)
{
    std::vector<int> all;
    for (int i = 0; i < count; ++i)
        all.push_back(i);
    return all;
}

TEST(InOrderPool, HandsOverInIndexOrderThenReportsDoneOnce)
{
    std::vector<int> order;
    int done = 0;
    TInOrderPool pool(
        24, [&](int index) { return SlowerForLowIndices(24, index, order); }, [&] { ++done; });
    pool.Start(4, 6);
    EXPECT_TRUE(pool.Running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return done > 0; }, kWaitMs));
    QTest::qWait(20);
    EXPECT_EQ(order, Indices(24));
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(pool.Running());
}

TEST(InOrderPool, WithNoJobsDoneComesThroughTheEventLoop)
{
    int done = 0;
    TInOrderPool pool(
        0, [](int) { return std::function<void()>(); }, [&] { ++done; });
    pool.Start(4, 4);
    EXPECT_EQ(done, 0);
    EXPECT_TRUE(pool.Running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return done > 0; }, kWaitMs));
    EXPECT_FALSE(pool.Running());

    // Stopped before the loop runs: nothing comes.
    TInOrderPool stopped(
        0, [](int) { return std::function<void()>(); }, [&] { ++done; });
    stopped.Start(4, 4);
    stopped.Stop();
    QTest::qWait(20);
    EXPECT_EQ(done, 1);
}

TEST(InOrderPool, WhileHeldWorkersStopAheadAndNothingIsHandedOver)
{
    bool hold = true;
    std::atomic<int> taken = 0;
    std::vector<int> order;
    bool done = false;
    TInOrderPool pool(
        30,
        [&](int index) -> std::function<void()> {
            ++taken;
            return [&order, index] { order.push_back(index); };
        },
        [&] { done = true; }, [&] { return hold; });
    pool.Start(4, 3);
    QTest::qWait(250);
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(taken, 3);

    hold = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_EQ(order, Indices(30));
}

TEST(InOrderPool, AHandOverRunningTheEventLoopKeepsLaterOnesWaiting)
{
    // As a message box shown from a hand-over does.
    std::vector<int> order;
    bool insideBox = false;
    bool handedOverInsideBox = false;
    bool done = false;
    TInOrderPool pool(
        12,
        [&](int index) -> std::function<void()> {
            return [&, index] {
                handedOverInsideBox = handedOverInsideBox || insideBox;
                order.push_back(index);
                if (index != 1)
                    return;
                insideBox = true;
                QEventLoop box;
                QTimer::singleShot(150, &box, &QEventLoop::quit);
                box.exec();
                insideBox = false;
            };
        },
        [&] { done = true; });
    pool.Start(4, 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_FALSE(handedOverInsideBox);
    EXPECT_EQ(order, Indices(12));
}

TEST(InOrderPool, OwnerMayFreeThePoolFromItsEvents)
{
    std::vector<int> order;
    bool done = false;
    std::unique_ptr<TInOrderPool> pool;
    pool = std::make_unique<TInOrderPool>(
        40,
        [&](int index) -> std::function<void()> {
            return [&, index] {
                order.push_back(index);
                if (index == 2)
                    pool.reset();
            };
        },
        [&] { done = true; });
    pool->Start(4, 8);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pool == nullptr; }, kWaitMs));
    QTest::qWait(50);
    EXPECT_EQ(order, Indices(3));
    EXPECT_FALSE(done);

    pool = std::make_unique<TInOrderPool>(
        3, [&](int index) { return SlowerForLowIndices(3, index, order); }, [&] { pool.reset(); });
    pool->Start(2, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pool == nullptr; }, kWaitMs));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

} // namespace
} // namespace lumeno
