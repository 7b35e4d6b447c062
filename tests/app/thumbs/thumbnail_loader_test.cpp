#include "app/thumbs/thumbnail_loader.h"
#include "imagelib/pg_startup.h"
#include "support/test_env.h"
#include "thumb_files.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <gtest/gtest.h>

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

} // namespace
} // namespace lumeno
