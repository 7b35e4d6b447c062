#pragma once
// The file mover's rows beside the main window's list rules: the date text,
// the name list that spots new arrivals, and the fit of a picture into a
// preview pane.

#include "app/common/file_list.h"
#include "platform/types.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace lumeno {

// A last-write time as the lists and dialogs show it; "" for none.
std::string FileDateText(TDateTime Value);
// The same for whole seconds since the epoch, as the file lists keep them.
std::string FileTimeText(std::int64_t Seconds);

// The names of the folder's matching files.
std::set<std::string> NameListOf(const std::string& Folder, const std::string& Mask);

// The first row whose name the name list lacks; -1 when there is none.
int FirstNewArrival(const std::vector<std::string>& Names, const std::set<std::string>& Known);

// The size a picture is shown at in a pane: its own when it fits with a
// 4-pixel margin all round, else the largest that fits keeping its shape.
struct TPreviewSize {
    int Width = 0;
    int Height = 0;
};
TPreviewSize PreviewFit(int PaneWidth, int PaneHeight, int PictureWidth, int PictureHeight);

} // namespace lumeno
