#pragma once
// Shifts luminance and the two colour differences.

#include "imagelib/view/xxx_filter_dialog.h"

namespace lumeno {

class TYCbCrFilterDialog : public TXXXFilterDialog {
public:
    explicit TYCbCrFilterDialog(QObject* Owner = nullptr) : TXXXFilterDialog(Owner, 52, {53, 54, 55}, false)
    {
        Initialize();
    }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TYCbCrFilter>(); }
    TYCbCrFilter& GetFilter() const { return static_cast<TYCbCrFilter&>(GetFilterObject()); }

    int GetY() const { return GetChannel(1); }
    void SetY(int Value) { SetChannel(1, Value); }
    int GetCb() const { return GetChannel(2); }
    void SetCb(int Value) { SetChannel(2, Value); }
    int GetCr() const { return GetChannel(3); }
    void SetCr(int Value) { SetChannel(3, Value); }
};

} // namespace lumeno
