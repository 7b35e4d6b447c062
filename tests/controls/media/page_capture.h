#pragma once
// Plays a recorded page onto a device that keeps the texts and lines drawn,
// in page pixels, so tests can check what went where.

#include "controls/media/page_metafile.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

namespace lumeno::test {

struct CapturedText {
    QString Text;
    QPointF Baseline; // start of the baseline
};

struct CapturedPage {
    std::vector<CapturedText> Texts;
    // Bounds of the lines and shapes drawn.
    std::vector<QRectF> Strokes;
    // The first text equal to `text`; nullptr when there is none.
    const CapturedText* Find(const QString& text) const;
    int Count(const QString& text) const;
};

CapturedPage CapturePage(const TPageMetafile& page);

} // namespace lumeno::test
