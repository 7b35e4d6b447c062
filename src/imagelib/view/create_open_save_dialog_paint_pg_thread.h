#pragma once
// Reads the file selected in an open or save dialog and builds its preview,
// fitted into the preview box and reduced to the screen's colours, away from
// the dialog's thread. It reaches the dialog only through posted events
// carrying its generation number.

#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_view_types.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class QObject;

namespace lumeno {

class TCreateOpenSaveDialogPaintPGThread : public QThread {
public:
    // A skipping thread does nothing when run; the dialog's idle thread.
    explicit TCreateOpenSaveDialogPaintPGThread(bool Skip);
    ~TCreateOpenSaveDialogPaintPGThread() override;

    void Terminate();
    bool GetTerminated() const { return FTerminated.load(); }
    void WaitFor() { wait(); }

    // Set up by the dialog before the thread starts.
    std::string FFileName;
    QObject* FTargetWindow = nullptr;
    std::uint64_t FGeneration = 0;
    int FMaxWidth = 0;
    int FMaxHeight = 0;
    TStretchMode FStretchMode = smPrecise;
    TPalette8BitSys24BitGraphic FPalette8BitSys24BitGraphic = pOptimized252Sys16;
    TPalette8BitSys8BitGraphic FPalette8BitSys8BitGraphic = pOptimized252Sys16;
    int FDisplayDepth = 24;

    // Reports the percent of the current step, paced to a changed percent in
    // a new 100 ms slot or a new sixteenth.
    void Progress(TObject* Sender, int Step, int Max, bool& Abort);
    // The build on the calling thread; nullptr when stopped or unreadable.
    std::unique_ptr<TPixelGraphic> Work();

protected:
    void run() override;

private:
    std::unique_ptr<TPixelGraphic> FitIntoBox(std::unique_ptr<TPixelGraphic> Image);
    std::unique_ptr<TPixelGraphic> ReduceForDisplay(std::unique_ptr<TPixelGraphic> Image);

    const bool FSkip;
    std::atomic<bool> FTerminated{false};
    int FStep = 1;
    int FLastPercent = 0;
    qint64 FLastTick = 0;
    QElapsedTimer FClock;
};

// Size of an image of Width x Height scaled to fit MaxWidth x MaxHeight with
// its aspect ratio, never below one pixel nor above the image.
QSize FitPreviewSize(int Width, int Height, int MaxWidth, int MaxHeight);

} // namespace lumeno
