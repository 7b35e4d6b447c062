#pragma once
// What a folder-tree node knows of its shell item.

#include "platform/qt/shell/item_id_list.h"

#include <cstdint>
#include <memory>

namespace lumeno {

class TShellFolder;

class TFolderItemData {
public:
    TFolderItemData(std::shared_ptr<TShellFolder> parentFolder, std::uint32_t attributes, TOwnedIdList relative,
                    TOwnedIdList absolute);
    ~TFolderItemData();
    TFolderItemData(const TFolderItemData&) = delete;
    TFolderItemData& operator=(const TFolderItemData&) = delete;

    // How many exist in the process.
    static int LiveCount();

    bool Enumerated = false;
    // Whether the item has anything to expand was asked (its row was shown).
    bool Probed = false;
    std::shared_ptr<TShellFolder> ParentFolder;
    std::uint32_t Attributes;
    TOwnedIdList Relative; // the item within its parent folder
    TOwnedIdList Absolute; // from the Desktop
};

} // namespace lumeno
