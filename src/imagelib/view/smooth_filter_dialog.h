#pragma once
// The smoothing filter's dialog.

#include "imagelib/view/conv_filter_dialog.h"

namespace lumeno {

class TSmoothFilterDialog : public TConvFilterDialog {
public:
    explicit TSmoothFilterDialog(QObject* Owner = nullptr) : TConvFilterDialog(Owner, 76, 130, 100)
    {
        Initialize();
    }
    void ApplySettings(TPGFilter& Filter) const override
    {
        static_cast<TConvFilter&>(Filter).SetSmoothKernel(FDistributionShape, FUseDistance,
                                                          Slider1.Position / 100.0L, Slider2.Position);
    }
};

} // namespace lumeno
