#pragma once
// Builds the view control's display image (resampled to the shown size
// and/or reduced to the screen's colours) away from the main thread. It
// reads the control's source image, writes only images it created, and
// reaches the control only through posted events.

#include "imagelib/pixel_graphic.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>

class QObject;

namespace lumeno {

class TCreatePaintPGThread : public QThread {
public:
    // A skipping thread does nothing when run; the control's idle thread.
    explicit TCreatePaintPGThread(bool Skip);
    ~TCreatePaintPGThread() override;

    // Stopping = Terminate, then WaitFor. Terminated stays set for good,
    // also on a thread that has already finished.
    void Terminate();
    bool GetTerminated() const { return FTerminated.load(); }
    void WaitFor() { wait(); }

    // The build, on whatever thread calls it: the worker, or the control's
    // own thread when the result is handed over directly.
    void Work();

    // Set up by the control before the build starts.
    QObject* FTargetWindow = nullptr;
    std::uint64_t FGeneration = 0;
    TPixelGraphic* FSourcePixelGraphic = nullptr;
    // The source itself, or a 24-bit image owned by this build.
    TPixelGraphic* FIntermediatePixelGraphic = nullptr;
    std::unique_ptr<TPixelGraphic> FOwnedIntermediate;
    std::unique_ptr<TPixelGraphic> FPaintPixelGraphic;
    bool FStretchFirst = false;
    bool FReduce = false;
    // Report by posted events; otherwise deliver the result at once.
    bool FPost = true;

    // Progress of images this build owns; paced to one report per 50 ms
    // slot and changed percent.
    void Progress(TObject* Sender, int Step, int Max, bool& Abort);

protected:
    void run() override;

private:
    void MapThroughTable();
    void Deliver();

    const bool FSkip;
    std::atomic<bool> FTerminated{false};
    int FStep = 1;
    int FLastPercent = 0;
    qint64 FLastTick = 0;
    QElapsedTimer FClock;
};

} // namespace lumeno
