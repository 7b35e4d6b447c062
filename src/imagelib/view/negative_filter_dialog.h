#pragma once
// The negative filter's dialog: only the preview and the buttons.

#include "imagelib/filters/point_filters.h"
#include "imagelib/pg_messages.h"
#include "imagelib/view/filter_dialog.h"

namespace lumeno {

class TNegativeFilterDialog : public TPreviewFilterDialog {
public:
    explicit TNegativeFilterDialog(QObject* Owner = nullptr) : TPreviewFilterDialog(Owner)
    {
        HasPreview = true;
        InitTexts();
        Initialize();
    }
    void InitTexts() override { Title = GetPGLangStr(62); }
    std::unique_ptr<TPGFilter> CreateFilter() const override { return std::make_unique<TNegativeFilter>(); }
    void ApplySettings(TPGFilter&) const override {}
    void SaveValues() override {}
    void RestoreValues() override {}
    TNegativeFilter& GetFilter() const { return static_cast<TNegativeFilter&>(GetFilterObject()); }
};

} // namespace lumeno
