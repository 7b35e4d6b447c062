#pragma once
// The texts of every message box a test's recording dialogs were asked to show, in order.

#include "support/recording_dialogs.h"

#include <string>
#include <vector>

namespace lumeno::test {

inline std::vector<std::string> DialogTexts(RecordingDialogs& Dialogs)
{
    std::vector<std::string> texts;
    for (const TDialogRequest& r : Dialogs.Shown())
        texts.push_back(r.Text);
    return texts;
}

} // namespace lumeno::test
