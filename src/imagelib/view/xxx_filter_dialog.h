#pragma once
// Base of the colour-space dialogs: three channel sliders of -100..100 %
// (the first a hue of -180..180 degrees for HLS and HSV) with preview.

#include "imagelib/filters/channel_filters.h"
#include "imagelib/view/filter_dialog.h"

#include <array>

namespace lumeno {

class TXXXFilterDialog : public TPreviewFilterDialog {
public:
    void InitTexts() override;
    void ApplySettings(TPGFilter& Filter) const override;
    std::string ValueText1() const override;
    void SaveValues() override;
    void RestoreValues() override;

protected:
    // Message ids of the title and the three captions.
    TXXXFilterDialog(QObject* Owner, int ATitleId, std::array<int, 3> ACaptionIds, bool AHueFirst);
    int GetChannel(int N) const { return Slider(N).Position; }
    // Clamps to the slider's range (a hue wraps round the circle).
    void SetChannel(int N, int Value);

private:
    int FTitleId;
    std::array<int, 3> FCaptionIds;
    bool FHueFirst;
    std::array<int, 3> FKept{};
};

} // namespace lumeno
