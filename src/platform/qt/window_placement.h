#pragma once
// Where a window opens the first time over or beside the window it belongs
// to: beside its owner when the owner's screen has room, else centred on it;
// always on screen, frame included, never over the owner's menu bar when
// there is room below it.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace lumeno {

// Top-left corner of a window of Size (frame included) opened next to Owner
// (its frame) on Screen (the screen's available area).
QPoint PlaceBeside(const QRect& Owner, const QSize& Size, const QRect& Screen);

// The frame the window manager puts around Window; before its first
// showing, that of the window it belongs to (the same manager frames both).
QMargins FrameMargins(const QWidget& Window);

// Moves Window next to Owner before its first showing; a window that has
// been placed before keeps its place.
void PlaceBesideOnce(QWidget& Window, const QWidget& Owner);
// Shows Window in front, placed beside Owner (when there is one) the first
// time; in front of a stay-on-top owner it stays on top too.
void ShowBeside(QWidget& Window, const QWidget* Owner);

} // namespace lumeno
