#pragma once
// A folder-tree node: owns its item data and sorts by the shell's order.

#include "controls/shell/folder_item_data.h"

#include <QTreeWidgetItem>
#include <functional>
#include <memory>

namespace lumeno {

class TShellTreeNode : public QTreeWidgetItem {
public:
    explicit TShellTreeNode(std::unique_ptr<TFolderItemData> data);
    ~TShellTreeNode() override;

    TFolderItemData* Data() const { return data_.get(); }
    // Called once when the node goes.
    std::function<void(TShellTreeNode*)> OnDelete;

    bool operator<(const QTreeWidgetItem& other) const override;

private:
    std::unique_ptr<TFolderItemData> data_;
};

// The data of any node, nullptr for foreign ones.
TFolderItemData* NodeData(const QTreeWidgetItem* node);

} // namespace lumeno
