#pragma once
// Shifts the red, green and blue channels.

#include "imagelib/view/xxx_filter_dialog.h"

namespace lumeno {

class TRGBFilterDialog : public TXXXFilterDialog {
public:
    explicit TRGBFilterDialog(QObject* Owner = nullptr) : TXXXFilterDialog(Owner, 44, {45, 46, 47}, false)
    {
        Initialize();
    }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TRGBFilter>(); }
    TRGBFilter& GetFilter() const { return static_cast<TRGBFilter&>(GetFilterObject()); }

    int GetRed() const { return GetChannel(1); }
    void SetRed(int Value) { SetChannel(1, Value); }
    int GetGreen() const { return GetChannel(2); }
    void SetGreen(int Value) { SetChannel(2, Value); }
    int GetBlue() const { return GetChannel(3); }
    void SetBlue(int Value) { SetChannel(3, Value); }
};

} // namespace lumeno
