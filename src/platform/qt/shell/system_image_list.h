#pragma once
// The process-wide small-icon list that every shell control shares.

#include "platform/qt/shell/item_id_list.h"

#include <QIcon>
#include <vector>

namespace lumeno {

class TSystemImageList {
public:
    TSystemImageList();
    // Index of the icon for an absolute list; the open variant for folders.
    int IndexOf(PCItemIdList absolute, bool open) const;
    int Count() const { return static_cast<int>(icons_.size()); }
    // A null icon for an index out of range.
    QIcon Icon(int index) const;

private:
    std::vector<QIcon> icons_;
};

const TSystemImageList& SystemImageList();

} // namespace lumeno
