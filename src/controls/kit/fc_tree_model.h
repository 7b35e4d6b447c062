#pragma once
// The item model a kit tree view shows: one column over the view's node
// collection, each index carrying its node.

#include "controls/kit/fc_tree_nodes.h"

#include <QAbstractItemModel>

namespace lumeno {

class TfcTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    TfcTreeModel(TfcTreeNodes& nodes, QObject* parent);

    static TfcTreeNode* NodeOf(const QModelIndex& index)
    {
        return static_cast<TfcTreeNode*>(index.internalPointer());
    }
    QModelIndex IndexOf(const TfcTreeNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Whether labels may be edited in place, and who hears of an edit.
    void SetEditable(bool value) { editable_ = value; }
    std::function<void(TfcTreeNode*, QString&)> OnEdited;

    // The collection's changes, told by the view.
    void AboutToInsert(TfcTreeNode* parent, int row);
    void Inserted() { endInsertRows(); }
    void AboutToRemove(TfcTreeNode* node);
    void Removed() { endRemoveRows(); }
    void AboutToReset() { beginResetModel(); }
    void Reset() { endResetModel(); }
    void AboutToSort();
    void Sorted();
    void Changed(TfcTreeNode* node);

private:
    TfcTreeNodes& nodes_;
    bool editable_ = false;
    QModelIndexList sortedFrom_;
    std::vector<TfcTreeNode*> sortedNodes_;
};

} // namespace lumeno
