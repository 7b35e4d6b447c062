#pragma once
// Self-sizing controls: placed at a fixed position they resize themselves to
// their content; inside a layout they only tell it their new size hint, so
// the layout keeps its neighbours apart.

#include <QSizePolicy>

class QSize;
class QWidget;

namespace lumeno {

// True when a layout of the parent (at any depth) holds the widget.
bool InLayout(const QWidget& widget);

// An auto-sized widget takes exactly its size hint in a layout.
void SetAutoSizePolicy(QWidget& widget, bool autoSize, QSizePolicy::Policy otherwise);

// Resizes a free widget to size; asks the layout again for one it holds.
void ApplyAutoSize(QWidget& widget, const QSize& size);

} // namespace lumeno
