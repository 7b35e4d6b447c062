#pragma once
// Turns the hue and shifts saturation and value.

#include "imagelib/view/xxx_filter_dialog.h"

namespace lumeno {

class THSVFilterDialog : public TXXXFilterDialog {
public:
    explicit THSVFilterDialog(QObject* Owner = nullptr) : TXXXFilterDialog(Owner, 60, {57, 59, 61}, true)
    {
        Initialize();
    }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<THSVFilter>(); }
    THSVFilter& GetFilter() const { return static_cast<THSVFilter&>(GetFilterObject()); }

    int GetH() const { return GetChannel(1); }
    void SetH(int Value) { SetChannel(1, Value); }
    int GetS() const { return GetChannel(2); }
    void SetS(int Value) { SetChannel(2, Value); }
    int GetV() const { return GetChannel(3); }
    void SetV(int Value) { SetChannel(3, Value); }
};

} // namespace lumeno
