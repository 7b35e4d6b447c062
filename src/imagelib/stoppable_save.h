#pragma once
// A save whose progress handler may raise to stop it. SaveToFile commits
// once the writer is done, and some writers report no rows; here the
// handler is asked once more before the new file takes the old one's
// place, so a stopped save always leaves the old file as it was.

#include <string>

namespace lumeno {

class TPixelGraphic;

// What a save to Extension would raise before writing anything: no
// writer, or a colour resolution the image's warning action refuses. Lets a
// save that runs elsewhere ask its question first.
void ConfirmSave(TPixelGraphic& Image, const std::string& Extension);

// Saves Image to FileName (writer by extension) as SaveToFile does.
void SaveToFileStoppable(TPixelGraphic& Image, const std::string& FileName);

} // namespace lumeno
