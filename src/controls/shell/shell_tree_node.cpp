#include "controls/shell/shell_tree_node.h"

#include "platform/qt/shell/shell_namespace.h"

namespace lumeno {

namespace {
constexpr int kShellNodeType = QTreeWidgetItem::UserType + 1;
}

TShellTreeNode::TShellTreeNode(std::unique_ptr<TFolderItemData> data)
    : QTreeWidgetItem(kShellNodeType), data_(std::move(data))
{
}

TShellTreeNode::~TShellTreeNode()
{
    if (OnDelete)
        OnDelete(this);
}

bool TShellTreeNode::operator<(const QTreeWidgetItem& other) const
{
    if (&other == this)
        return false;
    const TFolderItemData* mine = Data();
    const TFolderItemData* theirs = NodeData(&other);
    if (!mine || !theirs)
        return false;
    return mine->ParentFolder->CompareIDs(0, mine->Relative.get(), theirs->Relative.get()) < 0;
}

TFolderItemData* NodeData(const QTreeWidgetItem* node)
{
    return node && node->type() == kShellNodeType ? static_cast<const TShellTreeNode*>(node)->Data() : nullptr;
}

} // namespace lumeno
