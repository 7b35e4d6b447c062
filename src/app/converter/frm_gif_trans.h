#pragma once
// "GIF Transparency Selector": shows the reduced picture; the pointer's
// colour is shown as R, G, B and a click picks the colour under it.

#include "platform/types.h"

#include <QDialog>

#include <optional>

class QLabel;

namespace lumeno {

class TPGImage;
class TPixelGraphic;
class TdfsStatusBar;

class TfrmGIFTrans : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGIFTrans(QWidget* Parent = nullptr);
    // The global forgets a freed window.
    ~TfrmGIFTrans() override;

    // Shows a copy of Image and forgets an earlier pick.
    void Prepare(TPixelGraphic& Image);
    // Prepare, then modal; the colour clicked on, nothing when closed.
    std::optional<TColor> Pick(TPixelGraphic& Image);
    std::optional<TColor> Picked() const { return FPicked; }

    // Paint-box coordinates, as the paint box reports them.
    void PicBoxMouseMove(int X, int Y);
    void PicBoxMouseDown(int X, int Y);

    TPGImage* PGImage1 = nullptr;
    QLabel* Panel1 = nullptr;
    TdfsStatusBar* StatusBar1 = nullptr;

private:
    TColor ColorAt(int X, int Y);

    int FX = 0;
    int FY = 0;
    TColor FColor = 0;
    std::optional<TColor> FPicked;
};

TfrmGIFTrans* frmGIFTrans();

} // namespace lumeno
