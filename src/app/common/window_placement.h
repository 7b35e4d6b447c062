#pragma once
// Where the main window's companion windows open the first time: beside the
// main window when its screen has room, else centred on it; always on screen,
// never over the main window's menu bar when there is room below it.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace lumeno {

// Top-left corner of a window of Size opened next to Owner on Screen (the
// screen's available area).
QPoint PlaceBeside(const QRect& Owner, const QSize& Size, const QRect& Screen);

// Moves Window next to Owner before its first showing; a window that has
// been placed before keeps its place.
void PlaceBesideOnce(QWidget& Window, const QWidget& Owner);
// Shows Window in front, placed beside Owner (when there is one) the first time.
void ShowBeside(QWidget& Window, const QWidget* Owner);

} // namespace lumeno
