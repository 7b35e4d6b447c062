#include "controls/kit/fc_tree_model.h"

namespace lumeno {

TfcTreeModel::TfcTreeModel(TfcTreeNodes& nodes, QObject* parent) : QAbstractItemModel(parent), nodes_(nodes) {}

QModelIndex TfcTreeModel::IndexOf(const TfcTreeNode* node) const
{
    if (!node)
        return {};
    return createIndex(node->Index(), 0, const_cast<TfcTreeNode*>(node));
}

QModelIndex TfcTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const TfcTreeNode* parentNode = NodeOf(parent);
    TfcTreeNode* node = parentNode ? parentNode->Item(row) : nodes_.Root(row);
    return node ? createIndex(row, 0, node) : QModelIndex();
}

QModelIndex TfcTreeModel::parent(const QModelIndex& child) const
{
    const TfcTreeNode* node = NodeOf(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int TfcTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const TfcTreeNode* node = NodeOf(parent);
    return node ? node->Count() : nodes_.RootCount();
}

QVariant TfcTreeModel::data(const QModelIndex& index, int role) const
{
    const TfcTreeNode* node = NodeOf(index);
    if (node && (role == Qt::DisplayRole || role == Qt::EditRole))
        return node->Text();
    return {};
}

Qt::ItemFlags TfcTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable_)
        result |= Qt::ItemIsEditable;
    return result;
}

bool TfcTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    TfcTreeNode* node = NodeOf(index);
    if (!node || role != Qt::EditRole)
        return false;
    QString text = value.toString();
    if (OnEdited)
        OnEdited(node, text);
    node->SetText(text);
    return true;
}

void TfcTreeModel::AboutToInsert(TfcTreeNode* parent, int row)
{
    beginInsertRows(IndexOf(parent), row, row);
}

void TfcTreeModel::AboutToRemove(TfcTreeNode* node)
{
    beginRemoveRows(IndexOf(node->Parent()), node->Index(), node->Index());
}

void TfcTreeModel::AboutToSort()
{
    emit layoutAboutToBeChanged();
    sortedFrom_ = persistentIndexList();
    sortedNodes_.clear();
    for (const QModelIndex& index : sortedFrom_)
        sortedNodes_.push_back(NodeOf(index));
}

void TfcTreeModel::Sorted()
{
    QModelIndexList to;
    for (TfcTreeNode* node : sortedNodes_)
        to << IndexOf(node);
    changePersistentIndexList(sortedFrom_, to);
    sortedFrom_.clear();
    sortedNodes_.clear();
    emit layoutChanged();
}

void TfcTreeModel::Changed(TfcTreeNode* node)
{
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index);
}

} // namespace lumeno
