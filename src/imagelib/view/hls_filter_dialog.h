#pragma once
// Turns the hue and shifts lightness and saturation.

#include "imagelib/view/xxx_filter_dialog.h"

namespace lumeno {

class THLSFilterDialog : public TXXXFilterDialog {
public:
    explicit THLSFilterDialog(QObject* Owner = nullptr) : TXXXFilterDialog(Owner, 56, {57, 58, 59}, true)
    {
        Initialize();
    }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<THLSFilter>(); }
    THLSFilter& GetFilter() const { return static_cast<THLSFilter&>(GetFilterObject()); }

    int GetH() const { return GetChannel(1); }
    void SetH(int Value) { SetChannel(1, Value); }
    int GetL() const { return GetChannel(2); }
    void SetL(int Value) { SetChannel(2, Value); }
    int GetS() const { return GetChannel(3); }
    void SetS(int Value) { SetChannel(3, Value); }
};

} // namespace lumeno
