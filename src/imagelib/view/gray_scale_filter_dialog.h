#pragma once
// The grey-scale filter's dialog: preview and the "RGB weighting" choice.

#include "imagelib/filters/point_filters.h"
#include "imagelib/pg_messages.h"
#include "imagelib/view/filter_dialog.h"

namespace lumeno {

class TGrayScaleFilterDialog : public TPreviewFilterDialog {
public:
    explicit TGrayScaleFilterDialog(QObject* Owner = nullptr) : TPreviewFilterDialog(Owner)
    {
        HasPreview = true;
        HasCheckBox = true;
        CheckBoxChecked = true;
        InitTexts();
        Initialize();
    }
    void InitTexts() override
    {
        Title = GetPGLangStr(70);
        CheckBoxCaption = GetPGLangStr(71);
    }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TGrayScaleFilter>(); }
    void ApplySettings(TPGFilter& Filter) const override
    {
        static_cast<TGrayScaleFilter&>(Filter).SetRGBWeighting(CheckBoxChecked);
    }
    void SaveValues() override { FKept = CheckBoxChecked; }
    void RestoreValues() override { CheckBoxChecked = FKept; }
    TGrayScaleFilter& GetFilter() const { return static_cast<TGrayScaleFilter&>(GetFilterObject()); }

    bool GetRGBWeighting() const { return CheckBoxChecked; }
    void SetRGBWeighting(bool Value) { CheckBoxChecked = Value; }

private:
    bool FKept = true;
};

} // namespace lumeno
