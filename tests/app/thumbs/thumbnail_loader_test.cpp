#include "app/thumbs/thumbnail_loader.h"
#include "imagelib/memory_budget.h"
#include "imagelib/pg_startup.h"
#include "imagelib/pixel_memory.h"
#include "support/background_budget.h"
#include "support/test_env.h"
#include "thumb_files.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace lumeno {
namespace {

constexpr int kWaitMs = 10000;

class ThumbnailLoader : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartup(); }

    std::vector<std::string> Pictures(int count)
    {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            paths.push_back(dir.File("l" + std::to_string(i) + ".bmp"));
            test::WriteSolidImage(paths.back(), 30, 20, 0x00FF00);
        }
        return paths;
    }

    test::TempDir dir;
    TThumbnailLoader loader{3};
};

TEST_F(ThumbnailLoader, CellsWaitWhileAModalWindowIsOpen)
{
    QDialog box;
    box.setModal(true);
    box.show();
    ASSERT_NE(QApplication::activeModalWidget(), nullptr);
    std::vector<int> order;
    bool done = false;
    loader.Start(
        {Pictures(5), 64, 0}, [&](int index, const QImage&, bool) { order.push_back(index); },
        [&] { done = true; });
    QTest::qWait(300);
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(loader.Running());

    box.close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(ThumbnailLoader, AnEventMayStartTheNextLoad)
{
    const std::vector<std::string> paths = Pictures(20);
    int firstCells = 0;
    std::vector<int> second;
    bool firstDone = false;
    bool secondDone = false;
    loader.Start(
        {paths, 64, 0},
        [&](int, const QImage&, bool) {
            if (++firstCells == 2)
                loader.Start(
                    {{paths[0], paths[1]}, 64, 0},
                    [&](int index, const QImage&, bool) { second.push_back(index); },
                    [&] { secondDone = true; });
        },
        [&] { firstDone = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondDone; }, kWaitMs));
    QTest::qWait(50);
    EXPECT_EQ(firstCells, 2);
    EXPECT_FALSE(firstDone);
    EXPECT_EQ(second, (std::vector<int>{0, 1}));

    // And so may the end of a load: an empty one ends through the event loop.
    bool emptyDone = false;
    loader.Start({{paths[0]}, 64, 0}, nullptr, [&] {
        loader.Start({{}, 64, 0}, nullptr, [&] { emptyDone = true; });
        EXPECT_FALSE(emptyDone);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return emptyDone; }, kWaitMs));
    EXPECT_FALSE(loader.Running());
}

// One worker a core may each hold a large picture: they share one memory
// budget with the read-ahead. A picture larger than the whole budget gets
// the question mark; one that must wait for room waits only until the load
// is stopped.
TEST_F(ThumbnailLoader, WorkersShareTheBackgroundMemoryBudget)
{
    const std::string small = dir.File("small.bmp");
    const std::string large = dir.File("large.bmp");
    test::WriteSolidImage(small, 30, 20, 0x00FF00);
    test::WriteSolidImage(large, 1000, 1000, 0x00FF00); // 3 MB of pixels
    const test::TBackgroundBudget budget(2 << 20);
    std::map<int, bool> loaded;
    bool done = false;
    loader.Start({{small, large, small}, 64, 0}, [&](int index, const QImage&, bool ok) { loaded[index] = ok; },
                 [&] { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_EQ(loaded, (std::map<int, bool>{{0, true}, {1, false}, {2, true}}));

    BackgroundMemoryBudget().SetCapacity(4 << 20);
    const TMemoryBudgetScope elsewhere(BackgroundMemoryBudget());
    TPixelMemory held = AllocatePixelMemory(2 << 20);
    loaded.clear();
    loader.Start({{large}, 64, 0}, [&](int index, const QImage&, bool ok) { loaded[index] = ok; }, nullptr);
    QTest::qWait(200);
    EXPECT_TRUE(loaded.empty());
    QElapsedTimer stopping;
    stopping.start();
    loader.Stop();
    EXPECT_LT(stopping.elapsed(), 1000);
    EXPECT_TRUE(loaded.empty());
}

} // namespace
} // namespace lumeno
