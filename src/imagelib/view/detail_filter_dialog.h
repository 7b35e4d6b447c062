#pragma once
// The detail filter's dialog: sharpens fine structure.

#include "imagelib/view/conv_filter_dialog.h"

namespace lumeno {

class TDetailFilterDialog : public TConvFilterDialog {
public:
    explicit TDetailFilterDialog(QObject* Owner = nullptr) : TConvFilterDialog(Owner, 75, 75, 75)
    {
        Initialize();
    }
    void ApplySettings(TPGFilter& Filter) const override
    {
        static_cast<TConvFilter&>(Filter).SetDetailKernel(FDistributionShape, FUseDistance,
                                                          Slider1.Position / 100.0L, Slider2.Position);
    }
};

} // namespace lumeno
