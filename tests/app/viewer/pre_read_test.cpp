#include "app/viewer/pre_read.h"
#include "imagelib/memory_budget.h"
#include "imagelib/pg_startup_qt.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/pixel_memory.h"
#include "support/background_budget.h"
#include "support/test_env.h"

#include <QElapsedTimer>
#include <QThread>
#include <QThreadPool>

#include <atomic>

#include <gtest/gtest.h>

namespace lumeno::test {
namespace {

class PreReadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartupAllFormats(); }

    // A JPEG that takes a worker well over a tenth of a second to decode.
    std::string LargeJpeg()
    {
        TPixelGraphic picture;
        picture.SetDimensions(6000, 4000, pf24Bit);
        for (int y = 0; y < picture.GetHeight(); ++y) {
            std::uint8_t* row = picture.GetScanLine(y);
            for (int x = 0; x < picture.GetWidth() * 3; ++x)
                row[x] = static_cast<std::uint8_t>((x * 7) ^ (y * 3));
        }
        const std::string path = files_.File("large.jpg");
        picture.SaveToFile(path);
        return path;
    }

    TempDir files_;
};

// The window that owns the read-ahead may go (at exit: with the image
// library and the application after it) while the worker decodes; the
// worker is stopped and gone by then.
TEST_F(PreReadTest, EndingTheReadAheadStopsItsWorker)
{
    const std::string path = LargeJpeg();
    {
        TPreRead read;
        read.Start(path, 0xFFFFFF);
        QThread::msleep(20);
    }
    EXPECT_TRUE(QThreadPool::globalInstance()->waitForDone(50));
}

// What was read ahead is handed over whole.
TEST_F(PreReadTest, TheFileReadAheadIsHandedOver)
{
    const std::string path = LargeJpeg();
    TPreRead read;
    read.Start(path, 0xFFFFFF);
    const std::unique_ptr<TPixelGraphic> image = read.Take(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 6000);
    EXPECT_EQ(image->GetHeight(), 4000);
}

// The read-ahead shares the thumbnail workers' memory budget: a picture
// that would pass it waits for room, the wait ends with the read-ahead, and
// a picture larger than the whole budget is not read ahead.
TEST_F(PreReadTest, TheReadAheadWaitsForRoomInTheSharedBudget)
{
    const std::string path = files_.File("mid.bmp");
    TPixelGraphic picture;
    picture.SetDimensions(1000, 1000, pf24Bit); // 3 MB of pixels
    picture.SaveToFile(path);
    const TBackgroundBudget budget(4 << 20);
    const TMemoryBudgetScope elsewhere(BackgroundMemoryBudget());
    TPixelMemory held = AllocatePixelMemory(2 << 20);
    std::atomic<bool> finished = false;
    TPreRead read;
    read.Start(path, 0xFFFFFF, [&] { finished = true; });
    QThread::msleep(200);
    EXPECT_FALSE(finished);
    held.reset();
    const std::unique_ptr<TPixelGraphic> image = read.Take(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 1000);

    held = AllocatePixelMemory(2 << 20);
    QElapsedTimer ending;
    ending.start();
    {
        TPreRead waiting;
        waiting.Start(path, 0xFFFFFF);
        QThread::msleep(100);
    }
    EXPECT_LT(ending.elapsed(), 1000);

    held.reset();
    BackgroundMemoryBudget().SetCapacity(2 << 20);
    read.Start(path, 0xFFFFFF);
    EXPECT_FALSE(read.Take(path));
}

} // namespace
} // namespace lumeno::test
