#include "app/common/window_holder.h"

namespace lumeno {

namespace {

bool ending = false;

// Watched from the application's start, so a window first asked for as the
// program quits is never made with nothing left to free it.
void WatchTheQuit()
{
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] { ending = true; });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchTheQuit)

bool ProgramEnding()
{
    return ending;
}

} // namespace lumeno
