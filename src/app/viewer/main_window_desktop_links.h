#pragma once
// Joins the thumbnail explorer, the album, the property windows,
// preferences, search, open requests and the output commands to the main
// window. Its command handlers call the Main... routines below.

#include "app/desktop/wallpaper.h"

namespace lumeno {

class TForm1;

// Installs the explorer's and the album's hosts, the open-request handler
// (which raises the window and shows the last file), the refresh of the
// explorer after deletions, the preferences' and the search's links, and the
// file mover's full-image and properties commands. Call once the main window
// is made: windows made later are joined as they are made, until it goes.
void LinkDesktopWindows(TForm1& Form);

// "Centered", "Tiled", "Stretched" (the one selected file) and "Remove
// Wallpaper".
void MainSetWallpaper(TForm1& Form, TWallpaperCommand Command);
// Edit > "Copy to clipboard".
void MainCopyToClipboard(TForm1& Form);
// "In External Editor" and its twins: the one selected file.
void MainEditWithExternalEditor(TForm1& Form);
// "Print Folder Listing" and "Print Image" (the selected files), then the
// preview. The pictures are read on a worker; Esc stops them, and the
// printer's commands wait meanwhile.
void MainPrintFolderListing(TForm1& Form);
void MainPrintImage(TForm1& Form);
// "Set Preferences..." (modal, without blocking).
void MainSetPreferences();
// "Search Files...", the search button, "Questra", F3.
void MainSearchFiles();
// "Thumbnail Explorer" and its button: report view on the tree's folder.
void MainThumbnailExplorer(TForm1& Form);
// Popup "EXIF Data..." and "Image Properties...": the one selected file.
void MainExifData(TForm1& Form);
void MainImageProperties(TForm1& Form);

} // namespace lumeno
