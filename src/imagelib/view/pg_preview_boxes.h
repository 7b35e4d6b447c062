#pragma once
// The two panes beside the file list of the preview dialogs: the picture
// with its progress clock, and the lines describing the file.

#include "imagelib/pixel_graphic.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

namespace lumeno {

struct TGraphicInfo;

// Sunken frame on the button face with the picture centred inside; a
// picture larger than the inside is scaled down keeping its aspect ratio.
class TPGPreviewBox : public QWidget {
public:
    explicit TPGPreviewBox(QWidget* Parent);

    // Not owned; nullptr shows the empty box (or the clock).
    void SetPicture(TPixelGraphic* Picture);
    // A negative step hides the clock.
    void SetProgress(int Step, int Percent);
    void SetClockColors(const QColor& Bk, const QColor& Line);
    void SetClockVisible(bool Value) { FClockVisible = Value; }
    // The area a picture may fill without scaling.
    QSize InnerSize() const { return size() - QSize(4, 4); }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    TPixelGraphic* FPicture = nullptr;
    int FStep = -1;
    int FPercent = 0;
    QColor FClockBk;
    QColor FClockLine;
    bool FClockVisible = true;
};

// Up to four lines, each drawn only when it has text, spread evenly.
class TPGInfoBox : public QWidget {
public:
    explicit TPGInfoBox(QWidget* Parent);
    void SetLines(const QStringList& Lines);
    const QStringList& GetLines() const { return FLines; }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    QStringList FLines;
};

// Format, sub-format, remarks and "W x H x colours, bits, images".
QStringList PGInfoLines(const TGraphicInfo& Info);

} // namespace lumeno
