#pragma once
// Joins the file windows and the converter to the main window: the hosts
// they reach it through, and its handler for dropped files.

namespace lumeno {

class TForm1;

// Installs the files host and the main window's MoveDroppedFiles, and, when
// the converter exists, its host. Call once after the windows are created;
// they come undone when the main window goes.
void LinkMainWindow(TForm1& Form);

} // namespace lumeno
