#pragma once
// The program's numbered cursors (the screen's cursor table), and the
// magnifier that the image editor uses as cursor 5.

#include <QCursor>

namespace lumeno {

void SetScreenCursor(int Index, const QCursor& Cursor);
// The arrow for an index never set.
QCursor ScreenCursor(int Index);
QCursor MagnifierCursor();

} // namespace lumeno
