#pragma once
// The contour filter's dialog: edges drawn on a white or a black ground.

#include "imagelib/view/conv_filter_dialog.h"

namespace lumeno {

class TContourFilterDialog : public TConvFilterDialog {
public:
    explicit TContourFilterDialog(QObject* Owner = nullptr);
    void InitTexts() override;
    void ApplySettings(TPGFilter& Filter) const override;
    void SaveValues() override;
    void RestoreValues() override;

    bool GetBlackBk() const { return Radio2Checked; }
    void SetBlackBk(bool Value);

private:
    bool FKeptBlackBk = false;
};

} // namespace lumeno
