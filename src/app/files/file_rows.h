#pragma once
// A folder's files as the report lists show them (name, size in KB, type,
// modified), their sort orders, the name list the file mover keeps to spot
// new arrivals, and the fit of a picture into a preview pane.

#include "platform/types.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace lumeno {

struct TFileRow {
    std::string Name;
    std::int64_t SizeK = 0; // bytes div 1024 + 1
    std::string Type;       // upper-case extension, at most three letters
    TDateTime Modified = 0;
};

// A last-write time as the lists and dialogs show it; "" for none.
std::string FileDateText(TDateTime Value);

// Ordinary files of the folder (no folders, no hidden files) matching the
// ';'-separated mask, in mask order, each once.
std::vector<TFileRow> ListMatchingFiles(const std::string& Folder, const std::string& Mask);

// Column 0 name, 1 size, 2 type then name, 3 modified then name; names
// without regard to case. Stable.
void SortFileRows(std::vector<TFileRow>& Rows, int Column, bool Ascending);

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

// A clip's frame scaled down to fit a Box x Box square.
TPreviewSize ShrinkToBox(int Width, int Height, int Box);

} // namespace lumeno
