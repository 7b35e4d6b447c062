#pragma once
// Records, besides each box's request, the window the box would belong to.

#include "platform/qt/asking_window.h"
#include "support/recording_dialogs.h"

#include <QPointer>

#include <vector>

namespace lumeno::test {

class OwnerRecordingDialogs : public RecordingDialogs {
public:
    int Show(const TDialogRequest& request) override
    {
        Owners.emplace_back(TAskingWindow::Current());
        return RecordingDialogs::Show(request);
    }

    std::vector<QPointer<QWidget>> Owners;
};

} // namespace lumeno::test
