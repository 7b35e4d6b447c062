#pragma once
// Runs a filter dialog's filter over the preview-size source, away from the
// window's thread, and posts the result. A run is not interrupted: a
// terminated thread finishes and drops its result.

#include "imagelib/filters/pg_filter.h"
#include "imagelib/pixel_graphic.h"

#include <QThread>

#include <cstdint>
#include <memory>

namespace lumeno {

class TCreateDestPGThread : public QThread {
public:
    // An idle thread does nothing when run. The thread owns Filter.
    TCreateDestPGThread(bool AIdle, QObject* ATargetWindow, TPixelGraphic* ASource,
                        std::unique_ptr<TPGFilter> AFilter, std::uint64_t AGeneration);
    ~TCreateDestPGThread() override;

    void Terminate() { requestInterruption(); }

protected:
    void run() override;

private:
    const bool Idle;
    QObject* const TargetWindow;
    TPixelGraphic* const Source;
    std::unique_ptr<TPGFilter> Filter;
    const std::uint64_t Generation;
};

} // namespace lumeno
