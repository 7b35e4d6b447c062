#pragma once
// The four drag cursors of the view control: 32 x 32 two-colour pictures
// made once by the program's start-up.

#include <QCursor>

namespace lumeno {

enum TPGCursorKind { crPGHandOpen, crPGHandClosed, crPGCross, crPGMove };

// Call once after the QApplication exists.
void PGCreateCursors();
// The cursor of Kind; the arrow before PGCreateCursors ran.
QCursor PGCursor(TPGCursorKind Kind);

} // namespace lumeno
