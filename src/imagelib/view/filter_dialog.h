#pragma once
// Base of the filter dialogs: a component that owns one filter and, while
// Execute runs, a small window built from its slider records and flags.
// After an accepted Execute the caller applies GetFilter's filter.

#include "imagelib/filters/pg_filter.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_view_types.h"

#include <QColor>
#include <QFont>
#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace lumeno {

class TFilterDialogForm;

struct TFilterSlider {
    bool Used = false;
    int Min = 0;
    int Max = 0;
    int Frequency = 1;
    // Shown on the track as the neutral value.
    int Neutral = 0;
    int CaptionWidth = 0;
    std::string Caption;
    std::string MinText;
    std::string MidText;
    std::string MaxText;
    int ValueWidth = 0;
    int Position = 0;
};

// The font of every filter dialog window; none keeps the application's.
std::optional<QFont>& PGFilterDialogFont();

// "+5%", "±0%", "-5%": the position with its sign and Unit.
std::string SignedValueText(int Position, const std::string& Unit);
// Value with exactly two decimals in the locale's number format.
std::string TwoDecimalsText(Extended Value);

class TFilterDialog : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TFilterDialog(QObject* Owner = nullptr);
    ~TFilterDialog() override;

    // The window while Execute runs.
    TFilterDialogForm* GetForm() const { return Form; }

    virtual void InitTexts() {}
    virtual std::unique_ptr<TPGFilter> CreateFilter() const = 0;
    // Writes the dialog's values into Filter.
    virtual void ApplySettings(TPGFilter& Filter) const = 0;
    virtual std::string ValueText1() const { return SignedValueText(Slider1.Position, "%"); }
    virtual std::string ValueText2() const { return SignedValueText(Slider2.Position, "%"); }
    virtual std::string ValueText3() const { return SignedValueText(Slider3.Position, "%"); }
    std::string ValueText(int N) const;
    // The window changed a value: the filter follows, then the hook.
    void ValuesChanged();
    virtual void SaveValues() = 0;
    virtual void RestoreValues() = 0;

    TFilterSlider& Slider(int N) { return N == 1 ? Slider1 : (N == 2 ? Slider2 : Slider3); }
    const TFilterSlider& Slider(int N) const { return N == 1 ? Slider1 : (N == 2 ? Slider2 : Slider3); }

    TFilterSlider Slider1, Slider2, Slider3;
    std::string Note;
    std::string Title;
    bool HasPreview = false;
    bool HasCheckBox = false;
    bool CheckBoxChecked = false;
    std::string CheckBoxCaption;
    bool HasRadioButtons = false;
    bool Radio1Checked = false;
    std::string Radio1Caption;
    bool Radio2Checked = false;
    std::string Radio2Caption;
    // Not owned; only while Execute runs.
    TPixelGraphic* Image = nullptr;
    // The window's hook for every change made in it.
    std::function<void()> OnValuesChanged;

    QColor ProgressClockBkColor;
    QColor ProgressClockLineColor;
    bool ProgressClockVisible = false;
    TPalette8BitSys24BitGraphic Palette8BitSys24BitGraphic = pOptimized252Sys16;
    TPalette8BitSys8BitGraphic Palette8BitSys8BitGraphic = pOptimized252Sys16;

protected:
    // Creates the filter and brings it to the dialog's values; the last step
    // of every concrete constructor.
    void Initialize();
    // The owned filter.
    TPGFilter& GetFilterObject() const { return *Filter; }
    // Called when a value changed outside the window.
    void Reapply() { ApplySettings(*Filter); }

    bool DoExecute();
    // Shows the window and returns at once; Done gets the result.
    void DoExecuteAsync(std::function<void(bool)> Done);

private:
    void BeginExecute();
    bool EndExecute(bool Accepted);

    std::unique_ptr<TPGFilter> Filter;
    TFilterDialogForm* Form = nullptr;
};

// The dialogs with a live preview of the filtered image.
class TPreviewFilterDialog : public TFilterDialog {
    Q_OBJECT
public:
    using TFilterDialog::TFilterDialog;
    // True when closed with OK; Image is not kept.
    bool Execute(TPixelGraphic* AImage);
    // AImage must stay unchanged until Done is called.
    void ExecuteAsync(TPixelGraphic* AImage, std::function<void(bool)> Done);
};

} // namespace lumeno
