#include "controls/kit/fc_tree_nodes.h"

#include <algorithm>

namespace lumeno {

TfcTreeNodes::TfcTreeNodes(TfcTreeNodesHost* host, TfcNodeFactory factory)
    : host_(host), factory_(std::move(factory))
{
}

TfcTreeNodes::~TfcTreeNodes()
{
    host_ = nullptr;
    roots_.clear();
}

std::unique_ptr<TfcTreeNode> TfcTreeNodes::NewNode()
{
    return factory_ ? factory_(this) : std::make_unique<TfcTreeNode>(this);
}

std::vector<std::unique_ptr<TfcTreeNode>>& TfcTreeNodes::ChildList(TfcTreeNode* parent)
{
    return parent ? parent->children_ : roots_;
}

TfcTreeNode* TfcTreeNodes::Root(int index) const
{
    if (index < 0 || index >= RootCount())
        return nullptr;
    return roots_[static_cast<size_t>(index)].get();
}

TfcTreeNode* TfcTreeNodes::Item(int index)
{
    TfcTreeNode* node = nullptr;
    if (index >= 0) {
        if (lastNode_ && index == lastIndex_)
            node = lastNode_;
        else if (lastNode_ && index == lastIndex_ + 1)
            node = lastNode_->GetNext();
        else if (lastNode_ && index == lastIndex_ - 1)
            node = lastNode_->GetPrev();
        else {
            node = GetFirstNode();
            for (int i = 0; i < index && node; ++i)
                node = node->GetNext();
        }
    }
    if (!node)
        throw ETreeViewError("List index out of bounds (" + std::to_string(index) + ")");
    lastNode_ = node;
    lastIndex_ = index;
    return node;
}

void TfcTreeNodes::Renumber(TfcTreeNode* parent, int from)
{
    auto& list = ChildList(parent);
    for (size_t i = static_cast<size_t>(from); i < list.size(); ++i)
        list[i]->index_ = static_cast<int>(i);
}

TfcTreeNode* TfcTreeNodes::InsertAt(TfcTreeNode* parent, int row, const QString& text)
{
    Forget();
    auto node = NewNode();
    node->parent_ = parent;
    node->text_ = text;
    TfcTreeNode* raw = node.get();
    if (host_)
        host_->NodesAboutToInsert(parent, row);
    auto& list = ChildList(parent);
    list.insert(list.begin() + row, std::move(node));
    Renumber(parent, row);
    ++count_;
    if (host_)
        host_->NodesInserted();
    return raw;
}

TfcTreeNode* TfcTreeNodes::Add(TfcTreeNode* sibling, const QString& text)
{
    TfcTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    return InsertAt(parent, static_cast<int>(ChildList(parent).size()), text);
}

TfcTreeNode* TfcTreeNodes::AddFirst(TfcTreeNode* sibling, const QString& text)
{
    return InsertAt(sibling ? sibling->parent_ : nullptr, 0, text);
}

TfcTreeNode* TfcTreeNodes::AddChild(TfcTreeNode* parent, const QString& text)
{
    return InsertAt(parent, static_cast<int>(ChildList(parent).size()), text);
}

TfcTreeNode* TfcTreeNodes::AddChildFirst(TfcTreeNode* parent, const QString& text)
{
    return InsertAt(parent, 0, text);
}

TfcTreeNode* TfcTreeNodes::Insert(TfcTreeNode* sibling, const QString& text)
{
    if (!sibling)
        return Add(nullptr, text);
    return InsertAt(sibling->parent_, sibling->index_, text);
}

namespace {

int SubtreeSize(const TfcTreeNode* node)
{
    int size = 1;
    for (int i = 0; i < node->Count(); ++i)
        size += SubtreeSize(node->Item(i));
    return size;
}

} // namespace

void TfcTreeNodes::Delete(TfcTreeNode* node)
{
    if (!node || node->owner_ != this)
        return;
    Forget();
    if (host_)
        host_->NodeAboutToDelete(node);
    TfcTreeNode* parent = node->parent_;
    const int row = node->index_;
    count_ -= SubtreeSize(node);
    auto& list = ChildList(parent);
    list.erase(list.begin() + row);
    Renumber(parent, row);
    if (host_)
        host_->NodesDeleted();
}

void TfcTreeNodes::Clear()
{
    Forget();
    if (host_)
        host_->NodesAboutToReset();
    roots_.clear();
    count_ = 0;
    if (host_)
        host_->NodesReset();
}

void TfcTreeNodes::BeginUpdate()
{
    if (updateCount_++ == 0 && host_)
        host_->SetRedraw(false);
}

void TfcTreeNodes::EndUpdate()
{
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0 && host_)
        host_->SetRedraw(true);
}

void TfcTreeNodes::SortChildren(TfcTreeNode* parent, const TfcNodeCompare& compare, bool recurse)
{
    Forget();
    if (host_)
        host_->NodesAboutToSort();
    const auto sortLevel = [&](auto& self, TfcTreeNode* level) -> void {
        auto& list = ChildList(level);
        std::stable_sort(list.begin(), list.end(),
                         [&](const auto& a, const auto& b) { return compare(a.get(), b.get()) < 0; });
        Renumber(level, 0);
        if (recurse)
            for (auto& child : list)
                if (child->HasChildren())
                    self(self, child.get());
    };
    sortLevel(sortLevel, parent);
    if (host_)
        host_->NodesSorted();
}

TfcTreeNode* TfcTreeNodes::FindNode(const QString& text, bool visibleOnly) const
{
    for (TfcTreeNode* node = GetFirstNode(); node; node = visibleOnly ? node->GetNextVisible() : node->GetNext())
        if (node->text_.compare(text, Qt::CaseInsensitive) == 0)
            return node;
    return nullptr;
}

} // namespace lumeno
