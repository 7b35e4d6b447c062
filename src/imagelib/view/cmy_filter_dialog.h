#pragma once
// Shifts the cyan, magenta and yellow channels.

#include "imagelib/view/xxx_filter_dialog.h"

namespace lumeno {

class TCMYFilterDialog : public TXXXFilterDialog {
public:
    explicit TCMYFilterDialog(QObject* Owner = nullptr) : TXXXFilterDialog(Owner, 48, {49, 50, 51}, false)
    {
        Initialize();
    }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TCMYFilter>(); }
    TCMYFilter& GetFilter() const { return static_cast<TCMYFilter&>(GetFilterObject()); }

    int GetCyan() const { return GetChannel(1); }
    void SetCyan(int Value) { SetChannel(1, Value); }
    int GetMagenta() const { return GetChannel(2); }
    void SetMagenta(int Value) { SetChannel(2, Value); }
    int GetYellow() const { return GetChannel(3); }
    void SetYellow(int Value) { SetChannel(3, Value); }
};

} // namespace lumeno
