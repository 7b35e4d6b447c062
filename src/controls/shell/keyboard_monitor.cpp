#include "controls/shell/keyboard_monitor.h"

namespace lumeno {

bool TKeyboardMonitor::Load()
{
    if (Loaded())
        return true;
    if (!library_.load())
        return false;
    register_ = reinterpret_cast<TRegister>(library_.resolve("RegisterKeyboardHook"));
    deregister_ = reinterpret_cast<TDeregister>(library_.resolve("DeregisterKeyboardHook"));
    if (!register_ || !deregister_) {
        Unload();
        return false;
    }
    return true;
}

void TKeyboardMonitor::Unload()
{
    register_ = nullptr;
    deregister_ = nullptr;
    if (library_.isLoaded())
        library_.unload();
}

} // namespace lumeno
