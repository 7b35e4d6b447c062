#pragma once
// The dialogs interface shown as Qt message boxes. Calls from a thread other
// than the GUI thread show nothing and answer the default.

#include "platform/dialogs.h"

namespace lumeno {

class TQtDialogs : public TDialogs {
public:
    int Show(const TDialogRequest& request) override;
};

} // namespace lumeno
