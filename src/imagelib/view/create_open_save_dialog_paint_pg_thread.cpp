#include "imagelib/view/create_open_save_dialog_paint_pg_thread.h"

#include "imagelib/view/pg_paint_events.h"

#include <QCoreApplication>
#include <QSize>

#include <algorithm>
#include <filesystem>

namespace lumeno {

QSize FitPreviewSize(int Width, int Height, int MaxWidth, int MaxHeight)
{
    const double r = static_cast<double>(Width) / Height;
    if (static_cast<double>(MaxWidth) / MaxHeight < r)
        return {MaxWidth, std::min(std::max(static_cast<int>(Trunc(MaxWidth / r)), 1), Height)};
    return {std::min(std::max(static_cast<int>(Trunc(MaxHeight * r)), 1), Width), MaxHeight};
}

TCreateOpenSaveDialogPaintPGThread::TCreateOpenSaveDialogPaintPGThread(bool Skip) : FSkip(Skip)
{
    FClock.start();
}

TCreateOpenSaveDialogPaintPGThread::~TCreateOpenSaveDialogPaintPGThread()
{
    Terminate();
    WaitFor();
}

void TCreateOpenSaveDialogPaintPGThread::Terminate()
{
    FTerminated = true;
    requestInterruption();
}

void TCreateOpenSaveDialogPaintPGThread::run()
{
    if (FSkip)
        return;
    std::unique_ptr<TPixelGraphic> image;
    try {
        image = Work();
    } catch (...) {
        // An unreadable file simply gets no preview.
        return;
    }
    if (image && !GetTerminated() && FTargetWindow)
        QCoreApplication::postEvent(FTargetWindow, new TPGPaintDoneEvent(FGeneration, std::move(image)));
}

void TCreateOpenSaveDialogPaintPGThread::Progress(TObject*, int Step, int Max, bool& Abort)
{
    Abort = GetTerminated();
    if (Max <= 0)
        return;
    const int percent = static_cast<int>(static_cast<std::int64_t>(Step) * 100 / Max);
    const qint64 tick = FClock.elapsed();
    if (percent != FLastPercent && (tick / 100 != FLastTick / 100 || percent / 16 != FLastPercent / 16)) {
        FLastPercent = percent;
        FLastTick = tick;
        if (FTargetWindow)
            QCoreApplication::postEvent(FTargetWindow,
                                        new TPGPaintProgressEvent(FGeneration, FStep, percent));
    }
}

std::unique_ptr<TPixelGraphic> TCreateOpenSaveDialogPaintPGThread::Work()
{
    FStep = 1;
    FLastPercent = 0;
    FClock.start();
    FLastTick = 0;
    std::error_code error;
    if (!std::filesystem::is_regular_file(FFileName, error))
        return nullptr;
    auto image = std::make_unique<TPixelGraphic>();
    image->SetOnProgress(
        [this](TObject* Sender, int Step, int Max, bool& Abort) { Progress(Sender, Step, Max, Abort); });
    image->SetReadWarningAction(pgwaIgnore);
    image->SetPreviewLoad(true);
    image->LoadFromFile(FFileName);
    if (!GetTerminated())
        image = FitIntoBox(std::move(image));
    if (!GetTerminated())
        image = ReduceForDisplay(std::move(image));
    if (GetTerminated())
        return nullptr;
    image->SetOnProgress({});
    return image;
}

std::unique_ptr<TPixelGraphic>
TCreateOpenSaveDialogPaintPGThread::FitIntoBox(std::unique_ptr<TPixelGraphic> Image)
{
    if (Image->GetWidth() <= FMaxWidth && Image->GetHeight() <= FMaxHeight)
        return Image;
    if (FMaxWidth < 1 || FMaxHeight < 1 || Image->GetWidth() < 1 || Image->GetHeight() < 1)
        return Image;
    const QSize size = FitPreviewSize(Image->GetWidth(), Image->GetHeight(), FMaxWidth, FMaxHeight);
    auto fitted = std::make_unique<TPixelGraphic>();
    fitted->SetDimensions(size.width(), size.height(), pf24Bit);
    fitted->SetStretchMode(FStretchMode);
    fitted->SetOnProgress(Image->GetOnProgress());
    fitted->StretchFrom(*Image);
    ++FStep;
    return fitted;
}

std::unique_ptr<TPixelGraphic>
TCreateOpenSaveDialogPaintPGThread::ReduceForDisplay(std::unique_ptr<TPixelGraphic> Image)
{
    if (FDisplayDepth > 8)
        return Image;
    auto reduced = std::make_unique<TPixelGraphic>();
    reduced->SetOnProgress(Image->GetOnProgress());
    const bool trueColor = Image->GetPixelFormat() == pf24Bit;
    if (FDisplayDepth < 8) {
        reduced->SetDimensions(Image->GetWidth(), Image->GetHeight(), pf4Bit);
        reduced->SetPaletteType(pSys16);
    } else {
        reduced->SetDimensions(Image->GetWidth(), Image->GetHeight(), pf8Bit);
        const TPaletteIdent choice = trueColor ? FPalette8BitSys24BitGraphic : FPalette8BitSys8BitGraphic;
        if (choice == pOptimized252Sys16)
            reduced->ReduceColors(*Image, 252, true);
        else if (trueColor || choice != pSource)
            reduced->SetPaletteType(choice);
        else
            reduced->AssignPalette(*Image);
    }
    ++FStep;
    reduced->StretchFrom(*Image);
    return reduced;
}

} // namespace lumeno
