#pragma once
// The album's host over the program's windows: the main window's file list,
// the full-image window, the image properties dialog and the EXIF date.

namespace lumeno {

// Installs the one host; call after the windows are created.
void InstallMainWindowAlbumHost();

} // namespace lumeno
