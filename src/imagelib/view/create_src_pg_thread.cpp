#include "imagelib/view/create_src_pg_thread.h"

#include "imagelib/view/filter_preview_event.h"

#include <QCoreApplication>

namespace lumeno {

TCreateSrcPGThread::TCreateSrcPGThread(bool AIdle, QObject* ATargetWindow, TPixelGraphic* ASource,
                                       TPixelGraphic* ADest)
    : Idle(AIdle), TargetWindow(ATargetWindow), Source(ASource), Dest(ADest)
{
}

TCreateSrcPGThread::~TCreateSrcPGThread()
{
    Terminate();
    wait();
}

void TCreateSrcPGThread::run()
{
    if (Idle || !Source || !Dest)
        return;
    Dest->SetOnProgress([this](TObject*, int, int, bool& Abort) { Abort = isInterruptionRequested(); });
    try {
        if (!isInterruptionRequested() && Dest->GetWidth() > 0 && Dest->GetHeight() > 0)
            Dest->StretchFrom(*Source);
    } catch (...) {
        // Without a source the preview stays empty; the dialog still works.
        Dest->SetOnProgress({});
        return;
    }
    Dest->SetOnProgress({});
    if (!isInterruptionRequested())
        QCoreApplication::postEvent(TargetWindow, new TFilterPreviewEvent(FilterPreviewSourceReady, 0));
}

} // namespace lumeno
