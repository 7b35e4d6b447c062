#pragma once
// The folder file list without its widget: which files of a folder are
// listed for a mask, their columns, their order, and which item follows a
// deletion.

#include "app/common/settings_store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

struct TFileRow {
    std::string Name;
    std::int64_t SizeKB = 0; // bytes div 1024 + 1
    std::string Type;        // the first three letters of the extension, upper case
    std::int64_t Time = 0;   // last write, whole seconds since the epoch
};

// "*.jpg;*.gif;..." for the types whose flag is on, in the flags' order.
std::string BuildFileMask(const TFileTypeFlags& Flags);

// The ordinary files of a folder (regular files or links to them, names not
// starting with '.') matching the ';'-terminated patterns of the mask,
// grouped by pattern in mask order; a trailing pattern without ';' is not
// used. An unreadable folder gives none.
std::vector<TFileRow> ListFolderFiles(const std::string& Folder, const std::string& Mask);

// The rows' order for sort column 0..3 (name, size, type, modified; names
// without regard to case): indexes into Rows. Equal sizes keep their order,
// equal times are ordered by name; descending reverses the sense. Any other
// column keeps the order.
std::vector<int> SortOrder(const std::vector<TFileRow>& Rows, int Column, bool Ascending);

// The item to make current after deleting the selected ones: the last
// unselected item before the first selected one, else the first unselected
// one after it; -1 when there is none.
int DeleteSuccessor(const std::vector<bool>& Selected);

// The slide show's next (or previous) item of a list of Count items after
// the first selected one (-1: none), wrapping at both ends; -1 for an empty
// list.
int SlideIndex(int Count, int FirstSelected, bool Forward);

} // namespace lumeno
