#pragma once
// Red-eye reduction of the selected area, previewed as the amount changes.

#include "app/editor/red_eye.h"

#include <QDialog>

#include <memory>

class QSlider;

namespace lumeno {

class TPGImage;
class TPixelGraphic;

class TfrmRedEyeReduction : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRedEyeReduction(QWidget* Parent = nullptr);
    ~TfrmRedEyeReduction() override;
    // The area to work on: a 24-bit copy of Source's rectangle; the track bar
    // returns to 0 and the preview is computed.
    void Prepare(TPixelGraphic& Source, int Left, int Top, int Width, int Height);
    // Copies the reduced area into Target at the prepared place.
    void ApplyTo(TPixelGraphic& Target);
    void ApplyReduction();

    QSlider* tbReductionAmount;
    TPGImage* PGRedEye;
    TRedEyeThresholds Thresholds;

private:
    void tbReductionAmountChange(int Position);
    std::unique_ptr<TPixelGraphic> FSelection;
    int FLeft = 0, FTop = 0;
};

} // namespace lumeno
