#pragma once
// Resamples a filter dialog's image into the preview-size source once,
// away from the window's thread, then tells the window.

#include "imagelib/pixel_graphic.h"

#include <QThread>

namespace lumeno {

class TCreateSrcPGThread : public QThread {
public:
    // An idle thread does nothing when run.
    TCreateSrcPGThread(bool AIdle, QObject* ATargetWindow, TPixelGraphic* ASource, TPixelGraphic* ADest);
    ~TCreateSrcPGThread() override;

    void Terminate() { requestInterruption(); }

protected:
    void run() override;

private:
    const bool Idle;
    QObject* const TargetWindow;
    TPixelGraphic* const Source;
    TPixelGraphic* const Dest;
};

} // namespace lumeno
