#pragma once
// Joins the file windows and the converter to the main window: the hosts
// they reach it through, and its handler for dropped files.

namespace lumeno {

class TForm1;

// Installs the files host and the main window's MoveDroppedFiles, and the
// converter's host, now or when it is made. Call once the main window is
// made; they come undone when it goes.
void LinkMainWindow(TForm1& Form);

// The main window's commands that open these windows; its handlers call
// them.
// F2, "Rename File...", popup "Rename File (F2)": the one selected file.
void MainRenameFile(TForm1& Form);
// "File Attributes..." of the menu and the popup.
void MainFileAttributes(TForm1& Form);
// Folder tree popup "Add Folder..." and "Delete Folder".
void MainAddFolder(TForm1& Form);
void MainDeleteFolder(TForm1& Form);
// Popup "Incremental Rename...".
void MainIncrementalRename();
// "Move files...", the mover button and "Trekvane".
void MainMoveFiles();
// "Morphel", its button and popup "Convert with Morphel...".
void MainConvert(TForm1& Form);

} // namespace lumeno
