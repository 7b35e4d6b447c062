#pragma once
// The columns and rows of a list as the preview printer paginates them, so
// that a listing can be printed from any view or from plain data.

#include "controls/media/text_options.h"

#include <string>
#include <vector>

class QTreeView;

namespace lumeno {

struct TPrintColumn {
    std::string Caption;
    int Width = 0;
    TAlignment Alignment = TAlignment::taLeftJustify;
};

struct TPrintListItem {
    std::string Caption;
    // Texts of the second and later columns.
    std::vector<std::string> SubItems;
};

struct TPrintList {
    std::vector<TPrintColumn> Columns;
    std::vector<TPrintListItem> Items;
};

// The visible columns (in screen order) and top-level rows of a view.
TPrintList PrintListFromView(const QTreeView& view);

} // namespace lumeno
