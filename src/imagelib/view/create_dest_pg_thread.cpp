#include "imagelib/view/create_dest_pg_thread.h"

#include "imagelib/view/filter_preview_event.h"

#include <QCoreApplication>

namespace lumeno {

TCreateDestPGThread::TCreateDestPGThread(bool AIdle, QObject* ATargetWindow, TPixelGraphic* ASource,
                                         std::unique_ptr<TPGFilter> AFilter, std::uint64_t AGeneration)
    : Idle(AIdle), TargetWindow(ATargetWindow), Source(ASource), Filter(std::move(AFilter)),
      Generation(AGeneration)
{
}

TCreateDestPGThread::~TCreateDestPGThread()
{
    Terminate();
    wait();
}

void TCreateDestPGThread::run()
{
    if (Idle || !Source || !Filter)
        return;
    auto result = std::make_unique<TPixelGraphic>();
    result->SetPixelFormat(pf24Bit);
    try {
        result->ApplyFilter(*Filter, *Source);
    } catch (...) {
        result.reset();
    }
    Filter.reset();
    if (result && !isInterruptionRequested())
        QCoreApplication::postEvent(
            TargetWindow, new TFilterPreviewEvent(FilterPreviewDone, Generation, std::move(result)));
}

} // namespace lumeno
