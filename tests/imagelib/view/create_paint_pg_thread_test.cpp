#include "imagelib/view/create_paint_pg_thread.h"
#include "imagelib/view/pg_paint_events.h"
#include "view_test_support.h"

#include <QThread>

#include <gtest/gtest.h>
#include <vector>

namespace lumeno {
namespace {

// Records what a build sends to its control.
class TRecorder : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == TPGPaintProgressEvent::EventType()) {
            const auto* p = static_cast<TPGPaintProgressEvent*>(e);
            Progress.push_back({p->Step, p->Percent});
            return true;
        }
        if (e->type() == TPGPaintDoneEvent::EventType()) {
            auto* d = static_cast<TPGPaintDoneEvent*>(e);
            Done.push_back(std::move(d->PaintPixelGraphic));
            Generations.push_back(d->Generation);
            return true;
        }
        return QObject::event(e);
    }
    std::vector<std::pair<int, int>> Progress;
    std::vector<std::unique_ptr<TPixelGraphic>> Done;
    std::vector<std::uint64_t> Generations;
};

TEST(CreatePaintPGThread, ProgressIsPacedByTimeAndPercent)
{
    TRecorder recorder;
    TCreatePaintPGThread thread(true);
    thread.FTargetWindow = &recorder;
    bool abort = false;
    thread.Progress(nullptr, 10, 100, abort); // the first 50 ms slot is the start's own
    QThread::msleep(60);
    thread.Progress(nullptr, 20, 100, abort);
    thread.Progress(nullptr, 30, 100, abort); // same slot
    QThread::msleep(60);
    thread.Progress(nullptr, 20, 100, abort); // same percent
    QThread::msleep(60);
    thread.Progress(nullptr, 0, 0, abort); // no maximum: complete
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.Progress, (std::vector<std::pair<int, int>>{{1, 20}, {1, 100}}));
    EXPECT_FALSE(abort);
    thread.Terminate();
    thread.Progress(nullptr, 1, 2, abort);
    EXPECT_TRUE(abort);
}

TEST(CreatePaintPGThread, BuildsAndPostsItsResult)
{
    TRecorder recorder;
    auto source = test::Quadrants(64, 48);
    TCreatePaintPGThread thread(false);
    thread.FTargetWindow = &recorder;
    thread.FGeneration = 9;
    thread.FSourcePixelGraphic = source.get();
    thread.FIntermediatePixelGraphic = source.get();
    thread.FPaintPixelGraphic = std::make_unique<TPixelGraphic>();
    thread.FPaintPixelGraphic->SetDimensions(32, 24, pf8Bit);
    thread.FReduce = true;
    thread.start();
    thread.WaitFor();
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.Done.size(), 1u);
    EXPECT_EQ(recorder.Generations[0], 9u);
    EXPECT_EQ(recorder.Done[0]->GetWidth(), 32);
    EXPECT_LE(recorder.Done[0]->GetPaletteSize(), 252);
}

TEST(CreatePaintPGThread, AStoppedBuildPostsNothing)
{
    TRecorder recorder;
    auto source = test::Quadrants(64, 48);
    TCreatePaintPGThread thread(false);
    thread.FTargetWindow = &recorder;
    thread.FSourcePixelGraphic = source.get();
    thread.FIntermediatePixelGraphic = source.get();
    thread.FPaintPixelGraphic = std::make_unique<TPixelGraphic>();
    thread.FPaintPixelGraphic->SetDimensions(64, 48, pf24Bit);
    thread.Terminate();
    thread.start();
    thread.WaitFor();
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.Done.empty());
}

} // namespace
} // namespace lumeno
