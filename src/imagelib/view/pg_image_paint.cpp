// The view control's painting and its display copy built by the paint thread.

#include "imagelib/view/create_paint_pg_thread.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_paint_events.h"
#include "imagelib/view/pg_progress_clock.h"
#include "imagelib/view/pg_render.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumeno {

// --- display copy -------------------------------------------------------------------

// The shown size when resampling and a true-colour copy of it fits in
// memory; else the image's own size. A strongly zoomed picture is then
// drawn from the image itself instead of from a 1 x 1 stand-in.
TPGSize TPGImage::PaintTargetSize() const
{
    const std::int64_t bytes = static_cast<std::int64_t>(FBox.width()) * FBox.height() * 3;
    if (FStretchMode != smFast && bytes < MaxImageSize)
        return {FBox.width(), FBox.height()};
    return {FPixelGraphicWidth, FPixelGraphicHeight};
}

bool TPGImage::PaintPixelGraphicNeeded()
{
    if (!FPixelGraphic)
        return false;
    const int d = GetDisplayDepth();
    const int s = FPixelGraphic->GetBitsPerPixel();
    const bool resample = PaintTargetSize() != TPGSize{FPixelGraphicWidth, FPixelGraphicHeight};
    if (s > 8 || d > 8)
        return (s > d && d <= 8) || resample;
    if (s > d || resample)
        return true;
    const bool reducedAlready = FReduceOnLoad && !FRebuildPaint;
    const TPaletteIdent type = FPixelGraphic->GetPaletteType();
    if (d == 4)
        return !(type == pSys16 || reducedAlready);
    return !(FPalette8BitSys8BitGraphic == pSource || FPalette8BitSys8BitGraphic == type || reducedAlready);
}

bool TPGImage::UpdatePaintPixelGraphic()
{
    if (!FRebuildPaint && FStretchMode != smFast && !FReduceOnLoad && FPaintSize != PaintTargetSize())
        FRebuildPaint = true;
    const bool needed = PaintPixelGraphicNeeded();
    if (((FRebuildPaint && !(FKeepOldPaintPixelGraphic && FUseThread)) || !needed) && FPaintPixelGraphic) {
        StopPaintThread();
        FPaintPixelGraphic.reset();
    }
    if (!needed)
        return false;
    if (!FRebuildPaint && (FPaintPixelGraphic || !FThread->GetTerminated()))
        return true;
    StartBuild();
    return true;
}

void TPGImage::StartBuild()
{
    StopPaintThread();
    if (!(FKeepOldPaintPixelGraphic && FUseThread))
        FPaintPixelGraphic.reset();
    FPaintStep = 1;
    FPaintPercent = 0;
    FThread.reset();
    try {
        FThread = std::make_unique<TCreatePaintPGThread>(!FUseThread);
        FThread->FTargetWindow = this;
        FThread->FPost = FUseThread;
        FThread->FGeneration = ++FGeneration;
        PrepareBuild(*FThread);
        FRebuildPaint = false;
        FAcceptedGeneration = FGeneration;
        if (FUseThread)
            FThread->start();
        else
            FThread->Work();
    } catch (...) {
        // Shown as still being built; the next change tries again.
        if (!FThread)
            FThread = std::make_unique<TCreatePaintPGThread>(true);
    }
}

namespace {

// Pixels of a build may not be available; a 1 x 1 image stands in.
void SetDimensionsOrTiny(TPixelGraphic& Image, int Width, int Height, std::uint8_t Format)
{
    try {
        Image.SetDimensions(Width, Height, Format);
    } catch (const std::exception&) {
        Image.SetDimensions(1, 1, Format);
    }
}

} // namespace

void TPGImage::PrepareBuild(TCreatePaintPGThread& Thread)
{
    TCreatePaintPGThread* t = &Thread;
    const auto progress = [t](TObject* Sender, int Step, int Max, bool& Abort) {
        t->Progress(Sender, Step, Max, Abort);
    };
    const int d = GetDisplayDepth();
    const TPGSize size = PaintTargetSize();
    const bool resample = size != TPGSize{FPixelGraphicWidth, FPixelGraphicHeight};
    FPixelGraphic->Flush(); // the thread only reads it
    Thread.FSourcePixelGraphic = FPixelGraphic.get();
    Thread.FIntermediatePixelGraphic = FPixelGraphic.get();
    if (FAllow24BitStretch && resample && d == 8 && FPalette8BitSys24BitGraphic == pOptimized252Sys16) {
        Thread.FOwnedIntermediate = std::make_unique<TPixelGraphic>();
        SetDimensionsOrTiny(*Thread.FOwnedIntermediate, size.Width, size.Height, pf24Bit);
        Thread.FOwnedIntermediate->SetStretchMode(FStretchMode);
        Thread.FOwnedIntermediate->SetOnProgress(progress);
        Thread.FIntermediatePixelGraphic = Thread.FOwnedIntermediate.get();
        Thread.FStretchFirst = true;
    }
    TPixelGraphic& source = *Thread.FIntermediatePixelGraphic;
    auto paint = std::make_unique<TPixelGraphic>();
    paint->SetOnProgress(progress);
    std::uint8_t format = pf24Bit;
    TPaletteIdent palette = pNone;
    if (d < 8) {
        format = pf4Bit;
        palette = pSys16;
    } else if (d == 8) {
        format = pf8Bit;
        const TPaletteIdent choice =
            source.GetPixelFormat() == pf24Bit ? FPalette8BitSys24BitGraphic : FPalette8BitSys8BitGraphic;
        if (choice < pOptimized252Sys16)
            palette = choice;
        else if (choice == pOptimized252Sys16)
            Thread.FReduce = true;
    }
    SetDimensionsOrTiny(*paint, size.Width, size.Height, format);
    if (palette != pNone)
        paint->SetPaletteType(palette);
    else if (d == 8 && !Thread.FReduce)
        paint->AssignPalette(source); // the source's own palette
    FPaintSize = size;
    paint->SetStretchMode(FStretchMode);
    paint->SetDither(FDither);
    paint->SetDitherErrorLimit(FDitherErrorLimit);
    paint->SetDitherErrorLimitAuto(FDitherErrorLimitAuto);
    paint->SetDitherErrorLimitSoft(FDitherErrorLimitSoft);
    paint->SetRGBWeighting(FRGBWeighting);
    Thread.FPaintPixelGraphic = std::move(paint);
}

void TPGImage::customEvent(QEvent* Event)
{
    if (Event->type() == TPGPaintDoneEvent::EventType()) {
        auto* done = static_cast<TPGPaintDoneEvent*>(Event);
        if (done->Generation == FAcceptedGeneration && done->PaintPixelGraphic)
            HandOver(std::move(done->PaintPixelGraphic));
    } else if (Event->type() == TPGPaintProgressEvent::EventType()) {
        auto* progress = static_cast<TPGPaintProgressEvent*>(Event);
        if (progress->Generation == FAcceptedGeneration) {
            FPaintStep = progress->Step;
            FPaintPercent = progress->Percent;
            viewport()->update(BoxInViewport());
        }
    }
    QAbstractScrollArea::customEvent(Event);
}

void TPGImage::HandOver(std::unique_ptr<TPixelGraphic> Image)
{
    FAcceptedGeneration = 0; // one result per build
    if (FReduceOnLoad) {
        FPaintPixelGraphic.reset();
        Image->SetOnProgress(nullptr);
        HookProgress(*Image);
        HookChange(*Image);
        FPixelGraphic = std::move(Image);
        FPixelGraphicWidth = FPixelGraphic->GetWidth();
        FPixelGraphicHeight = FPixelGraphic->GetHeight();
    } else {
        Image->SetOnProgress(nullptr);
        FPaintPixelGraphic = std::move(Image);
    }
    Invalidate();
}

// --- painting --------------------------------------------------------------------------

void TPGImage::paintEvent(QPaintEvent* Event)
{
    QPainter painter(viewport());
    Paint(painter, Event->rect());
}

void TPGImage::Paint(QPainter& Painter, const QRect& Clip)
{
    if (FLayouting)
        return;
    emit OnPainting(this);
    TPixelGraphic* shown = UpdatePaintPixelGraphic() ? FPaintPixelGraphic.get() : FPixelGraphic.get();
    const QRect box = BoxInViewport();
    const QRect client = viewport()->rect();
    if (FTiling == tNone || !shown) {
        const QBrush background = palette().brush(QPalette::Window);
        Painter.fillRect(QRect(client.left(), client.top(), client.width(), box.top() - client.top()),
                         background);
        Painter.fillRect(
            QRect(client.left(), box.bottom() + 1, client.width(), client.bottom() - box.bottom()),
            background);
        Painter.fillRect(QRect(client.left(), box.top(), box.left() - client.left(), box.height()),
                         background);
        Painter.fillRect(QRect(box.right() + 1, box.top(), client.right() - box.right(), box.height()),
                         background);
    }
    if (!shown && !box.isEmpty()) {
        Painter.setPen(FPicBoxFrameColor);
        Painter.setBrush(FPicBox->palette().brush(QPalette::Window));
        Painter.drawRect(box.adjusted(0, 0, -1, -1));
        DrawProgressClocks(Painter, box);
    } else if (shown) {
        DrawTiles(Painter, Clip, *shown);
    }
    emit OnPaint(this);
}

void TPGImage::DrawTiles(QPainter& Painter, const QRect& Clip, TPixelGraphic& Image)
{
    const QRect box = BoxInViewport();
    if (box.isEmpty())
        return;
    const QRect client = viewport()->rect();
    TPGTileRange rows, cols;
    if (FTiling != tNone) {
        rows = PGTileRange(box.top(), box.height(), client.bottom() + 1);
        cols = PGTileRange(box.left(), box.width(), client.right() + 1);
    }
    const bool mirrorH = FTiling == tMirrorHorizontal || FTiling == tMirror;
    const bool mirrorV = FTiling == tMirrorVertical || FTiling == tMirror;
    for (int r = rows.First; r <= rows.Last; ++r)
        for (int c = cols.First; c <= cols.Last; ++c) {
            const QRect tile = box.translated(c * box.width(), r * box.height());
            const QRect visible = tile & Clip;
            if (visible.isEmpty())
                continue;
            const bool flipH = FFlipHorizontal != (mirrorH && (c & 1));
            const bool flipV = FFlipVertical != (mirrorV && (r & 1));
            const QImage part = PGRenderTilePart(Image, tile.width(), tile.height(),
                                                 visible.translated(-tile.topLeft()), flipH, flipV);
            Painter.drawImage(visible.topLeft(), part);
        }
}

void TPGImage::DrawProgressClocks(QPainter& Painter, const QRect& Box)
{
    if (!FProgressClockVisible)
        return;
    const auto clock = [&](int x, int y) {
        DrawPGProgressClock(Painter, x, y, FPaintStep, FPaintPercent, FProgressClockLineColor,
                            FProgressClockBkColor);
    };
    const int right = Box.left() + Box.width(), bottom = Box.top() + Box.height();
    if (Box.width() > 20 && Box.height() > 20)
        clock(Box.left() + Box.width() / 2 - 7, Box.top() + Box.height() / 2 - 7);
    if (FProgress5Clocks && Box.width() > 100 && Box.height() > 100) {
        clock(Box.left() + 5, Box.top() + 5);
        clock(right - 20, Box.top() + 5);
        clock(Box.left() + 5, bottom - 20);
        clock(right - 20, bottom - 20);
    }
}

} // namespace lumeno
