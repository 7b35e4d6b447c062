#pragma once
// The amount dialog of Spray Paint, Monochrome Noise, Color Noise and
// Mosaic, with a preview recomputed from an untouched source each time.

#include "app/effects/fast_bmp.h"

#include <QDialog>

#include <memory>

class QSlider;

namespace lumeno {

class TPixelGraphic;

class TfrmNewEFX : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNewEFX(QWidget* Parent = nullptr);
    ~TfrmNewEFX() override;
    // Tag 1..4 chooses the effect; the preview fits 240 x 240.
    void Prepare(int ATag, TPixelGraphic& Image);
    int Tag() const { return FTag; }
    int Amount() const;
    // The preview's fitted size for a picture of Width x Height (sides of at
    // least one pixel).
    static QSize PreviewSize(int Width, int Height);

    QSlider* TrackBar1;
    int PreviewX = 5, PreviewY = 5;
    std::unique_ptr<TFastBMP> SourcePreview, DestPreview;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void done(int Result) override;

private:
    void TrackBar1Change(int Position);
    int FTag = 1;
};

} // namespace lumeno
