#include "imagelib/view/create_paint_pg_thread.h"

#include "imagelib/view/pg_paint_events.h"

#include <QCoreApplication>

namespace lumeno {

TCreatePaintPGThread::TCreatePaintPGThread(bool Skip) : FSkip(Skip)
{
    FClock.start();
}

TCreatePaintPGThread::~TCreatePaintPGThread()
{
    Terminate();
    WaitFor();
}

void TCreatePaintPGThread::Terminate()
{
    FTerminated = true;
    requestInterruption();
}

void TCreatePaintPGThread::run()
{
    if (FSkip)
        return;
    try {
        Work();
    } catch (...) {
        // A failed build shows nothing new; the control keeps what it has.
        FPaintPixelGraphic.reset();
        FOwnedIntermediate.reset();
    }
}

void TCreatePaintPGThread::Progress(TObject*, int Step, int Max, bool& Abort)
{
    const int percent = Max == 0 ? 100 : static_cast<int>(static_cast<std::int64_t>(Step) * 100 / Max);
    const qint64 tick = FClock.elapsed();
    if (percent != FLastPercent && tick / 50 != FLastTick / 50) {
        FLastPercent = percent;
        FLastTick = tick;
        if (FPost && FTargetWindow)
            QCoreApplication::postEvent(FTargetWindow,
                                        new TPGPaintProgressEvent(FGeneration, FStep, percent));
    }
    Abort = GetTerminated();
}

void TCreatePaintPGThread::Work()
{
    FStep = 1;
    FLastPercent = 0;
    FClock.start();
    FLastTick = 0;
    if (!FSourcePixelGraphic || !FPaintPixelGraphic || !FIntermediatePixelGraphic) {
        FOwnedIntermediate.reset();
        return;
    }
    if (!GetTerminated() && FStretchFirst) {
        FIntermediatePixelGraphic->StretchFrom(*FSourcePixelGraphic);
        ++FStep;
    }
    if (!GetTerminated() && FReduce) {
        FPaintPixelGraphic->ReduceColors(*FIntermediatePixelGraphic, 252, true);
        ++FStep;
    }
    if (!GetTerminated()) {
        const bool sameSize = FIntermediatePixelGraphic->GetWidth() == FPaintPixelGraphic->GetWidth() &&
                              FIntermediatePixelGraphic->GetHeight() == FPaintPixelGraphic->GetHeight();
        if (FReduce && FIntermediatePixelGraphic->GetPixelFormat() == pf8Bit && sameSize)
            MapThroughTable();
        else
            FPaintPixelGraphic->StretchFrom(*FIntermediatePixelGraphic);
        ++FStep;
    }
    if (GetTerminated())
        FPaintPixelGraphic.reset();
    else
        Deliver();
    FOwnedIntermediate.reset();
}

// An 8-bit source of the right size only needs its indices renumbered.
void TCreatePaintPGThread::MapThroughTable()
{
    TPixelGraphic& src = *FIntermediatePixelGraphic;
    TPixelGraphic& dst = *FPaintPixelGraphic;
    const bool cache = dst.GetColorLookupCache();
    dst.SetColorLookupCache(false);
    std::uint8_t table[256] = {};
    for (int i = 0; i < src.GetPaletteSize() && i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(dst.ColorToIndex(src.GetPaletteEntry(i)));
    dst.SetColorLookupCache(cache);
    const int w = dst.GetWidth(), last = dst.GetHeight() - 1;
    bool abort = false;
    for (int y = 0; y <= last && !GetTerminated(); ++y) {
        const std::uint8_t* s = src.GetScanLine(y);
        std::uint8_t* d = dst.GetScanLine(y);
        for (int x = 0; x < w; ++x)
            d[x] = table[s[x]];
        Progress(&dst, y, last, abort);
    }
}

void TCreatePaintPGThread::Deliver()
{
    auto* event = new TPGPaintDoneEvent(FGeneration, std::move(FPaintPixelGraphic));
    if (FPost) {
        QCoreApplication::postEvent(FTargetWindow, event);
        return;
    }
    std::unique_ptr<TPGPaintDoneEvent> owned(event);
    QCoreApplication::sendEvent(FTargetWindow, owned.get());
}

} // namespace lumeno
