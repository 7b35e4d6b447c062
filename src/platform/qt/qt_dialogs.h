#pragma once
// The dialogs interface shown as Qt message boxes. Calls from a thread other
// than the GUI thread show nothing and answer the default.

#include "platform/dialogs.h"

namespace lumeno {

class TQtDialogs : public TDialogs {
public:
    int Show(const TDialogRequest& request) override;
    // True while one of the boxes is open: timers and notifications that
    // would open another wait for the next turn.
    static bool BoxOpen();
};

} // namespace lumeno
