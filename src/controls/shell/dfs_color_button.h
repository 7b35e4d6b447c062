#pragma once
// A push button showing a colour swatch and a drop-down arrow; a click opens
// the palette drop-down (or, with CycleColors, steps to the next palette
// colour when the swatch rather than the arrow is clicked). The custom
// colours of the colour dialog can be kept in the registry.

#include "controls/shell/color_array_class.h"

#include <QPointer>
#include <QPushButton>
#include <string>

namespace lumeno {

class TDFSColorButtonPalette;

class TdfsColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit TdfsColorButton(QWidget* parent = nullptr);
    ~TdfsColorButton() override;

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    const TColorArrayClass& PaletteColors() const { return paletteColors_; }
    void SetPaletteColors(const TColorArrayClass& value) { paletteColors_.Assign(value); }
    const TColorArrayClass& CustomColors() const { return customColors_; }
    void SetCustomColors(const TColorArrayClass& value) { customColors_.Assign(value); }
    TColor OtherColor() const { return otherColor_; }
    void SetOtherColor(TColor value) { otherColor_ = value; }
    const std::string& OtherBtnCaption() const { return otherBtnCaption_; }
    void SetOtherBtnCaption(const std::string& value) { otherBtnCaption_ = value; }
    bool ShowColorHints() const { return showColorHints_; }
    void SetShowColorHints(bool value) { showColorHints_ = value; }
    bool CycleColors() const { return cycleColors_; }
    void SetCycleColors(bool value) { cycleColors_ = value; }
    const std::string& CustomColorsKey() const { return customColorsKey_; }
    void SetCustomColorsKey(const std::string& value) { customColorsKey_ = value; }
    std::string Version() const { return "TdfsColorButton v2.59"; }

    // 0 for a colour that is not on the palette, else 1..cells (row by row).
    int PaletteIndex() const { return paletteIndex_; }
    void SelectPaletteIndex(int index);
    // The open drop-down, or nullptr.
    TDFSColorButtonPalette* PaletteForm() const { return paletteForm_; }
    bool DroppedDown() const { return droppedDown_; }

    // From the drop-down: a palette index was picked (0: the other colour,
    // which may have been chosen anew).
    void PalettePicked(int index, TColor otherColor);
    // From the drop-down as it closes.
    void PaletteClosed(const TColorArrayClass& customColors);

    virtual void InitPalette();
    virtual std::string GetValueName() const;
    virtual void SaveCustomColors();
    virtual void LoadCustomColors();

signals:
    void OnColorChange();
    void OnGetColorHintText(TdfsColorButton* sender, TColor color, int x, int y, QString& hint);

protected:
    virtual void ColorChanged();
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Clicked();
    void DropDown();
    int CellCount() const { return paletteColors_.XSize() * paletteColors_.YSize(); }
    TColor CellColor(int index) const;

    TColor color_ = clBlack;
    TColorArrayClass paletteColors_{4, 5};
    TColorArrayClass customColors_{8, 2};
    TColor otherColor_;
    std::string otherBtnCaption_ = "&Other";
    bool showColorHints_ = true;
    bool cycleColors_ = false;
    std::string customColorsKey_;
    int paletteIndex_ = 0;
    QPointer<TDFSColorButtonPalette> paletteForm_;
    bool droppedDown_ = false;
    bool loaded_ = false;
    int lastClickX_ = -1;
};

// The registry text of the custom colours ("$00FFFFFF,..." x-major) and
// back; unreadable pieces become white.
std::string CustomColorsToText(const TColorArrayClass& colors);
void CustomColorsFromText(const std::string& text, TColorArrayClass& colors);

} // namespace lumeno
