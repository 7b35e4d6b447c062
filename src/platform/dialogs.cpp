#include "platform/dialogs.h"

#include <atomic>
#include <cstdio>

namespace lumeno {

namespace {

class TSilentDialogs : public TDialogs {
public:
    int Show(const TDialogRequest& request) override
    {
        std::fprintf(stderr, "%s%s%s\n", request.Caption.c_str(), request.Caption.empty() ? "" : ": ",
                     request.Text.c_str());
        return request.DefaultResult;
    }
};

TSilentDialogs silentDialogs;
std::atomic<TDialogs*> installed{nullptr};

int FirstResult(TMsgDlgButtons buttons)
{
    if (buttons & mbOK) return mrOk;
    if (buttons & mbYes) return mrYes;
    if (buttons & mbAbort) return mrAbort;
    if (buttons & mbRetry) return mrRetry;
    return mrCancel;
}

} // namespace

TDialogs& Dialogs()
{
    TDialogs* d = installed.load();
    return d ? *d : silentDialogs;
}

void SetDialogs(TDialogs* dialogs) { installed.store(dialogs); }

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    return Dialogs().Show({"", text, type, buttons, FirstResult(buttons)});
}

void ShowMessage(const std::string& text) { MessageDlg(text, TMsgDlgType::mtCustom, mbOK); }

int MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    static constexpr TMsgDlgButtons kButtons[] = {
        mbOK, mbOKCancel, mbAbort | mbRetry | mbIgnore, mbYesNoCancel, mbYesNo, mbRetry | mbCancel};
    const unsigned set = flags & 0x0F;
    const TMsgDlgButtons buttons = set < 6 ? kButtons[set] : mbOK;
    TMsgDlgType type = TMsgDlgType::mtCustom;
    switch (flags & 0xF0) {
    case MB_ICONERROR: type = TMsgDlgType::mtError; break;
    case MB_ICONQUESTION: type = TMsgDlgType::mtConfirmation; break;
    case MB_ICONWARNING: type = TMsgDlgType::mtWarning; break;
    case MB_ICONINFORMATION: type = TMsgDlgType::mtInformation; break;
    default: break;
    }
    return Dialogs().Show({caption, text, type, buttons, FirstResult(buttons)});
}

} // namespace lumeno
