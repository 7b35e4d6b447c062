#include "controls/kit/fc_tree_combo.h"

#include "controls/kit/fc_common.h"

#include <QKeyEvent>
#include <QPainter>

namespace lumeno {

TfcCustomTreeCombo::TfcCustomTreeCombo(QWidget* parent) : TfcCustomCombo(parent)
{
    SetTreeView(new TfcPopupTreeView(this));
}

TfcCustomTreeCombo::~TfcCustomTreeCombo()
{
    QWidget* panel = panel_;
    panel_ = nullptr;
    treeView_ = nullptr;
    delete panel;
}

void TfcCustomTreeCombo::SetTreeView(TfcPopupTreeView* tree)
{
    delete panel_;
    originalNode_ = selectedNode_ = nullptr;
    treeView_ = tree;
    treeView_->SetOptions(tvoHideSelection | tvoShowButtons | tvoShowLines | tvoShowRoot | tvoToolTips);
    panel_ = new TfcPopupPanel(treeView_);
    connect(treeView_, &TfcCustomTreeView::OnDeletion, this, [this](TfcCustomTreeView*, TfcTreeNode* node) {
        if (node == selectedNode_)
            selectedNode_ = nullptr;
        if (node == originalNode_)
            originalNode_ = nullptr;
    });
}

void TfcCustomTreeCombo::SetSorted(bool value)
{
    treeView_->SetSortType(value ? TfcSortType::fcstText : TfcSortType::fcstNone);
}

bool TfcCustomTreeCombo::IsDroppedDown() const
{
    return panel_ && panel_->isVisible();
}

bool TfcCustomTreeCombo::IsSelectable(TfcTreeNode* node)
{
    const auto* comboNode = dynamic_cast<const TfcTreeComboTreeNode*>(node);
    bool accept = !comboNode || comboNode->Selectable();
    if ((options_ & tcoLeafOnly) && node->HasChildren())
        accept = false;
    emit OnCheckValid(this, node, accept);
    return accept;
}

QSize TfcCustomTreeCombo::GetItemSize()
{
    const int height = treeView_->ItemHeight();
    if (dropDownWidth_ != 0)
        return {dropDownWidth_, Items().GetFirstNode() ? height : 0};
    int width = 0;
    const QFontMetrics metrics = treeView_->fontMetrics();
    for (TfcTreeNode* node = Items().GetFirstNode(); node; node = node->GetNextVisible())
        width = std::max(width, treeView_->ItemLayout(node).TextRect.left() + metrics.horizontalAdvance(node->Text()) + 6);
    return width == 0 ? QSize() : QSize(width, height);
}

int TfcCustomTreeCombo::GetLeftIndent()
{
    int indent = fcIsInGrid(this) ? 0 : 1;
    if (treeView_ && treeView_->Images())
        indent += treeView_->Images()->Width() + 2;
    return indent;
}

bool TfcCustomTreeCombo::CanEdit()
{
    return Style() == TfcComboStyle::csDropDown || IsDroppedDown() || showMatchText_;
}

void TfcCustomTreeCombo::HideCaret()
{
    if (!showMatchText_)
        TfcCustomCombo::HideCaret();
}

TfcTreeNode* TfcCustomTreeCombo::FirstSearchNode()
{
    return Items().GetFirstNode();
}

void TfcCustomTreeCombo::TextLookup(const QString& text)
{
    TfcTreeNode* selected = treeView_->Selected();
    if (selected && selected->Text() == text)
        return;
    if (fcFindNameValue(lookupList_, text) >= 0) {
        treeView_->SetSelected(Items().FindNode(text, false));
        update();
    } else {
        treeView_->SetSelected(nullptr);
    }
}

void TfcCustomTreeCombo::DropDown()
{
    if (IsDroppedDown())
        return;
    treeView_->ResetMouse();
    TextLookup(text());
    originalNode_ = treeView_->Selected();
    originalText_ = text();
    selectedNode_ = originalNode_;
    if (options_ & tcoExpandOnDropDown)
        treeView_->FullExpand();
    if (text().isEmpty() || !selectedNode_) {
        treeView_->SetSelected(nullptr);
        treeView_->scrollToTop();
    } else {
        treeView_->MakeVisible(selectedNode_);
    }
    if (Style() == TfcComboStyle::csDropDownList)
        update();
    TfcCustomCombo::DropDown();
    selectAll();
}

void TfcCustomTreeCombo::CloseUp(bool accept)
{
    const bool was = IsDroppedDown();
    if (was && accept && treeView_->Selected() && IsSelectable(treeView_->Selected()))
        selectedNode_ = treeView_->Selected();
    TfcCustomCombo::CloseUp(accept);
    if (was) {
        if (accept && selectedNode_ != originalNode_ && EditCanModify()) {
            setText(selectedNode_ ? selectedNode_->Text() : QString());
            SelectionChanged();
            setModified(true);
        } else {
            selectedNode_ = originalNode_;
            treeView_->SetSelected(originalNode_);
            setText(originalNode_ ? originalNode_->Text() : originalText_);
        }
        DoCloseUp(accept);
    }
    treeView_->StopScrollTimer();
    treeView_->HideHint();
    if (hasFocus())
        selectAll();
}

void TfcCustomTreeCombo::ChooseFromPopup(TfcTreeNode* node, bool inside)
{
    treeView_->SetSelected(node);
    selectedNode_ = node;
    CloseUp(inside);
}

void TfcCustomTreeCombo::PopupMouseOutside(QEvent::Type type, const QPoint& globalPos, Qt::MouseButtons buttons)
{
    const QPoint pos = treeView_->viewport()->mapFromGlobal(globalPos);
    if (type == QEvent::MouseMove)
        treeView_->MouseMoveAt(pos, buttons);
    else
        treeView_->MouseUpAt(pos);
}

TfcTreeNode* TfcCustomTreeCombo::SearchNode(const QString& text)
{
    TfcTreeNode* first = FirstSearchNode();
    TfcTreeNode* start = treeView_->Selected();
    if (!start || (first && first->AbsoluteIndex() > start->AbsoluteIndex()))
        start = first;
    if (!start)
        return nullptr;
    TfcTreeNode* node = start;
    do {
        if (node->Text().startsWith(text, Qt::CaseInsensitive) && IsSelectable(node))
            return node;
        node = node->GetNext();
        if (!node)
            node = first;
    } while (node && node != start);
    return nullptr;
}

void TfcCustomTreeCombo::Choose(TfcTreeNode* node)
{
    treeView_->SetSelected(node);
    treeView_->MakeVisible(node);
    selectedNode_ = node;
}

bool TfcCustomTreeCombo::KeyPress(QKeyEvent* event)
{
    if (TfcCustomCombo::KeyPress(event))
        return true;
    const bool list = Style() == TfcComboStyle::csDropDownList;
    if (event->key() == Qt::Key_Backspace)
        return list && showMatchText_;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed[0].isPrint() || (event->modifiers() & Qt::ControlModifier))
        return false;
    if (Items().Count() == 0 || !(IsDroppedDown() || showMatchText_))
        return list;
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? start + static_cast<int>(selectedText().size()) : start;
    const QString search = text().left(start) + typed + text().mid(end);
    TfcTreeNode* match = SearchNode(search);
    if (!match) {
        if (!list)
            treeView_->SetSelected(nullptr);
        return list;
    }
    Choose(match);
    const QString before = text();
    if (showMatchText_) {
        setText(match->Text());
        setSelection(static_cast<int>(match->Text().size()), static_cast<int>(search.size() - match->Text().size()));
    } else {
        setText(search);
        setCursorPosition(static_cast<int>(search.size()));
    }
    if (text() != before) {
        SelectionChanged();
        setModified(true);
    }
    return true;
}

TfcTreeNode* TfcCustomTreeCombo::MoveTarget(int key, bool dropped)
{
    TfcTreeNode* current = treeView_->Selected();
    TfcTreeNode* first = Items().GetFirstNode();
    const bool up = key == Qt::Key_Up || key == Qt::Key_PageUp || key == Qt::Key_End;
    const auto step = [dropped, up](TfcTreeNode* node) {
        if (up)
            return dropped ? node->GetPrevVisible() : node->GetPrev();
        return dropped ? node->GetNextVisible() : node->GetNext();
    };
    TfcTreeNode* target = nullptr;
    switch (key) {
    case Qt::Key_Home:
        target = first;
        break;
    case Qt::Key_End:
        for (target = first; target;) {
            TfcTreeNode* next = dropped ? target->GetNextVisible() : target->GetNext();
            if (!next)
                break;
            target = next;
        }
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int page = std::max(1, treeView_->viewport()->height() / std::max(1, treeView_->ItemHeight()));
        target = current ? current : first;
        for (int i = 0; i < page && target; ++i) {
            TfcTreeNode* next = step(target);
            if (!next)
                break;
            target = next;
        }
        break;
    }
    default:
        target = current ? step(current) : first;
    }
    while (target && !IsSelectable(target))
        target = step(target);
    return target;
}

bool TfcCustomTreeCombo::KeyDown(QKeyEvent* event)
{
    if (TfcCustomCombo::KeyDown(event))
        return true;
    if (ReadOnly())
        return false;
    const int key = event->key();
    const bool list = Style() == TfcComboStyle::csDropDownList;
    const bool dropped = IsDroppedDown();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        if (!list)
            return false;
        const bool whole = hasSelectedText() && selectedText() == text();
        if (AllowClearKey() && (whole || (!dropped && (key == Qt::Key_Delete || !showMatchText_)))) {
            clear();
            treeView_->SetSelected(nullptr);
            selectedNode_ = nullptr;
            setModified(true);
        } else if (showMatchText_ && key == Qt::Key_Backspace) {
            const int start = hasSelectedText() ? selectionStart() : cursorPosition();
            if (start > 0)
                setSelection(static_cast<int>(text().size()), start - 1 - static_cast<int>(text().size()));
        }
        return true;
    }
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool upDown = key == Qt::Key_Up || key == Qt::Key_Down;
    const bool pages = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    const bool ends = (key == Qt::Key_Home || key == Qt::Key_End) && (!dropped || ctrl);
    if (!(upDown || pages || ends))
        return false;
    if (!(list || (upDown && !dropped) || dropped) || Items().Count() == 0)
        return false;
    if (TfcTreeNode* target = MoveTarget(key, dropped)) {
        Choose(target);
        setText(target->Text());
        SelectionChanged();
        setModified(true);
    }
    selectAll();
    return true;
}

void TfcCustomTreeCombo::PaintFace(QPainter& painter)
{
    TfcImageList* images = treeView_->Images();
    if (!images || !selectedNode_)
        return;
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    const int y = (height() - images->Height()) / 2;
    fcImageListDraw(*images, selectedNode_->ImageIndex(), painter, frame + 1, y, TfcImageDrawStyle::Normal,
                    isEnabled());
}

} // namespace lumeno
