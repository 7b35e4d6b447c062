#include "app/common/window_holder.h"

namespace lumeno {

bool ProgramEnding()
{
    static bool ending = false;
    static const bool watching = [] {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] { ending = true; });
        return true;
    }();
    return watching && ending;
}

} // namespace lumeno
