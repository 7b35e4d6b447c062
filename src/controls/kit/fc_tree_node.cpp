#include "controls/kit/fc_tree_node.h"

#include "controls/kit/fc_tree_nodes.h"

namespace lumeno {

TfcTreeNode* TfcTreeNode::Item(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return children_[static_cast<size_t>(index)].get();
}

std::vector<std::unique_ptr<TfcTreeNode>>& TfcTreeNode::Siblings() const
{
    return owner_->ChildList(parent_);
}

TfcTreeNode* TfcTreeNode::GetNextSibling() const
{
    const auto& siblings = Siblings();
    const size_t next = static_cast<size_t>(index_) + 1;
    return next < siblings.size() ? siblings[next].get() : nullptr;
}

TfcTreeNode* TfcTreeNode::GetPrevSibling() const
{
    return index_ > 0 ? Siblings()[static_cast<size_t>(index_) - 1].get() : nullptr;
}

TfcTreeNode* TfcTreeNode::GetNext() const
{
    if (HasChildren())
        return GetFirstChild();
    for (const TfcTreeNode* node = this; node; node = node->parent_)
        if (TfcTreeNode* next = node->GetNextSibling())
            return next;
    return nullptr;
}

TfcTreeNode* TfcTreeNode::GetPrev() const
{
    TfcTreeNode* node = GetPrevSibling();
    if (!node)
        return parent_;
    while (node->HasChildren())
        node = node->GetLastChild();
    return node;
}

TfcTreeNode* TfcTreeNode::GetNextVisible() const
{
    if (!IsVisible())
        return nullptr;
    if (expanded_ && HasChildren())
        return GetFirstChild();
    for (const TfcTreeNode* node = this; node; node = node->parent_)
        if (TfcTreeNode* next = node->GetNextSibling())
            return next;
    return nullptr;
}

TfcTreeNode* TfcTreeNode::GetPrevVisible() const
{
    TfcTreeNode* node = GetPrevSibling();
    if (!node)
        return parent_;
    while (node->expanded_ && node->HasChildren())
        node = node->GetLastChild();
    return node;
}

int TfcTreeNode::Level() const
{
    int level = 0;
    for (const TfcTreeNode* node = parent_; node; node = node->parent_)
        ++level;
    return level;
}

int TfcTreeNode::AbsoluteIndex() const
{
    int index = 0;
    for (TfcTreeNode* node = owner_->GetFirstNode(); node && node != this; node = node->GetNext())
        ++index;
    return index;
}

bool TfcTreeNode::IsVisible() const
{
    for (const TfcTreeNode* node = parent_; node; node = node->parent_)
        if (!node->expanded_)
            return false;
    return true;
}

bool TfcTreeNode::HasAsParent(const TfcTreeNode* node) const
{
    for (const TfcTreeNode* p = parent_; p; p = p->parent_)
        if (p == node)
            return true;
    return false;
}

void TfcTreeNode::SetExpanded(bool value)
{
    if (expanded_ == value)
        return;
    expanded_ = value;
    if (owner_->Host())
        owner_->Host()->NodeExpandedChanged(this);
}

void TfcTreeNode::Expand(bool recurse)
{
    SetExpanded(true);
    if (recurse)
        for (auto& child : children_)
            child->Expand(true);
}

void TfcTreeNode::Collapse(bool recurse)
{
    SetExpanded(false);
    if (recurse)
        for (auto& child : children_)
            child->Collapse(true);
}

void TfcTreeNode::Delete()
{
    owner_->Delete(this);
}

void TfcTreeNode::Changed()
{
    if (owner_->Host())
        owner_->Host()->NodeChanged(this);
}

void TfcTreeNode::SetText(const QString& value)
{
    text_ = value;
    Changed();
    if (owner_->Host())
        owner_->Host()->SortKeyChanged(this, true);
}

void TfcTreeNode::SetData(std::int32_t value)
{
    data_ = value;
    if (owner_->Host())
        owner_->Host()->SortKeyChanged(this, false);
}

void TfcTreeNode::SetImageIndex(int value)
{
    imageIndex_ = value;
    Changed();
}

void TfcTreeNode::SetSelectedIndex(int value)
{
    selectedIndex_ = value;
    Changed();
}

void TfcTreeNode::SetOverlayIndex(int value)
{
    overlayIndex_ = value;
    Changed();
}

void TfcTreeNode::SetStateIndex(int value)
{
    stateIndex_ = value;
    Changed();
}

void TfcTreeNode::SetCheckboxType(TfcCheckboxType value)
{
    checkboxType_ = value;
    SetStateIndex(value == TfcCheckboxType::tctNone ? -1 : 1);
}

void TfcTreeNode::SetChecked(bool value)
{
    if (checked_ == value)
        return;
    if (value && IsRadioButton()) {
        for (auto& sibling : Siblings())
            if (sibling.get() != this && sibling->IsRadioButton() && sibling->checked_) {
                sibling->checked_ = false;
                sibling->Changed();
            }
    }
    checked_ = value;
    Changed();
    if (owner_->Host())
        owner_->Host()->CheckedChanged(this);
}

void TfcTreeNode::SetGrayed(bool value)
{
    if (IsRadioButton()) {
        for (auto& sibling : Siblings())
            if (sibling->IsRadioButton() && sibling->grayed_ != value) {
                sibling->grayed_ = value;
                sibling->Changed();
            }
        return;
    }
    grayed_ = value;
    Changed();
}

void TfcTreeNode::ToggleByClick(bool threeState)
{
    if (IsRadioButton()) {
        SetChecked(true);
        SetGrayed(false);
    } else if (threeState && checked_ && !grayed_) {
        SetGrayed(true);
    } else {
        SetChecked(!checked_);
        SetGrayed(false);
    }
}

void TfcTreeNode::SetSelected(bool value)
{
    if (selected_ == value)
        return;
    selected_ = value;
    Changed();
}

} // namespace lumeno
