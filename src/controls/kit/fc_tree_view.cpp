#include "controls/kit/fc_tree_view.h"

#include "controls/kit/fc_canvas.h"
#include "controls/kit/fc_common.h"
#include "controls/kit/fc_tree_hint_window.h"
#include "controls/kit/fc_tree_model.h"
#include "platform/qt/wait_cursor.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QUrl>

namespace lumeno {

// Hands every item to the tree, which paints it whole.
class TfcTreeItemDelegate : public QStyledItemDelegate {
public:
    explicit TfcTreeItemDelegate(TfcCustomTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (TfcTreeNode* node = TfcTreeModel::NodeOf(index))
            tree_->PaintItem(*painter, option.rect, node);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const TfcTreeNode* node = TfcTreeModel::NodeOf(index);
        const int width = node ? tree_->ItemLayout(node).TextRect.right() + 6 : 0;
        return {width, tree_->ItemHeight()};
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override
    {
        const QRect text = tree_->ItemLayout(TfcTreeModel::NodeOf(index)).TextRect.translated(option.rect.topLeft());
        editor->setGeometry(text.left(), text.top(), std::max(option.rect.right() - text.left(), 40), text.height());
    }

private:
    TfcCustomTreeView* tree_;
};

TfcCustomTreeView::TfcCustomTreeView(QWidget* parent)
    : QTreeView(parent), nodes_(this), model_(new TfcTreeModel(nodes_, this))
{
    setModel(model_);
    setHeaderHidden(true);
    setIndentation(0);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(NoSelection);
    setEditTriggers(NoEditTriggers);
    setExpandsOnDoubleClick(false);
    setItemDelegate(new TfcTreeItemDelegate(this));
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    resize(121, 97);
    lineColor_ = palette().color(QPalette::Dark);
    inactiveFocusColor_ = palette().color(QPalette::Button);
    changeTimer_.setSingleShot(true);
    changeTimer_.setInterval(0);
    connect(&changeTimer_, &QTimer::timeout, this, &TfcCustomTreeView::ChangeTimerExpired);
    hintTimer_.setInterval(250);
    connect(&hintTimer_, &QTimer::timeout, this, &TfcCustomTreeView::HintTimerTick);
    model_->OnEdited = [this](TfcTreeNode* node, QString& text) { emit OnEdited(this, node, text); };
    const auto follow = [this](const QModelIndex& index, bool expanded) {
        if (syncingExpansion_)
            return;
        syncingExpansion_ = true;
        if (TfcTreeNode* node = TfcTreeModel::NodeOf(index))
            node->SetExpanded(expanded);
        syncingExpansion_ = false;
    };
    connect(this, &QTreeView::expanded, this, [follow](const QModelIndex& index) { follow(index, true); });
    connect(this, &QTreeView::collapsed, this, [follow](const QModelIndex& index) { follow(index, false); });
}

TfcCustomTreeView::~TfcCustomTreeView()
{
    HideHint();
    // The view must let go of the model before the nodes go, telling no one.
    blockSignals(true);
    setModel(nullptr);
    delete model_;
}

TfcTreeNode* TfcCustomTreeView::Selected() const
{
    return TfcTreeModel::NodeOf(currentIndex());
}

void TfcCustomTreeView::SetSelected(TfcTreeNode* node)
{
    selectionModel()->setCurrentIndex(model_->IndexOf(node), QItemSelectionModel::NoUpdate);
}

TfcTreeNode* TfcCustomTreeView::TopItem() const
{
    return TfcTreeModel::NodeOf(indexAt(QPoint(0, 0)));
}

void TfcCustomTreeView::SetTopItem(TfcTreeNode* node)
{
    scrollTo(model_->IndexOf(node), PositionAtTop);
}

void TfcCustomTreeView::MakeVisible(TfcTreeNode* node)
{
    for (TfcTreeNode* parent = node ? node->Parent() : nullptr; parent; parent = parent->Parent())
        parent->Expand(false);
    scrollTo(model_->IndexOf(node));
}

void TfcCustomTreeView::SetOptions(TfcTreeViewOptions value)
{
    options_ = value;
    model_->SetEditable((options_ & tvoEditText) && !readOnly_);
    if (!(options_ & tvoToolTips))
        HideHint();
    scheduleDelayedItemsLayout();
    viewport()->update();
}

void TfcCustomTreeView::SetReadOnly(bool value)
{
    readOnly_ = value;
    SetOptions(options_);
}

void TfcCustomTreeView::SetSortType(TfcSortType value)
{
    sortType_ = value;
    if (value != TfcSortType::fcstNone)
        AlphaSort();
}

void TfcCustomTreeView::SetLineColor(const QColor& value)
{
    lineColor_ = value;
    viewport()->update();
}

void TfcCustomTreeView::SetInactiveFocusColor(const QColor& value)
{
    inactiveFocusColor_ = value;
    viewport()->update();
}

void TfcCustomTreeView::SetColor(const QColor& value)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, value);
    setPalette(colours);
}

void TfcCustomTreeView::SetIndent(int value)
{
    indent_ = std::max(value, 0);
    scheduleDelayedItemsLayout();
}

void TfcCustomTreeView::SetImages(TfcImageList* value)
{
    images_ = value;
    scheduleDelayedItemsLayout();
}

int TfcCustomTreeView::CompareNodes(TfcTreeNode* a, TfcTreeNode* b)
{
    if (!OnCompare)
        return QString::localeAwareCompare(a->Text(), b->Text());
    int result = 0;
    OnCompare(this, a, b, 0, result);
    return result;
}

void TfcCustomTreeView::AlphaSort()
{
    nodes_.SortChildren(nullptr, [this](const TfcTreeNode* a, const TfcTreeNode* b) {
        return CompareNodes(const_cast<TfcTreeNode*>(a), const_cast<TfcTreeNode*>(b));
    }, true);
}

void TfcCustomTreeView::FullExpand()
{
    for (TfcTreeNode* node = nodes_.GetFirstNode(); node; node = node->GetNextSibling())
        node->Expand(true);
}

void TfcCustomTreeView::FullCollapse()
{
    for (TfcTreeNode* node = nodes_.GetFirstNode(); node; node = node->GetNextSibling())
        node->Collapse(true);
}

bool TfcCustomTreeView::OnMultiSelectLevel(const TfcTreeNode* node) const
{
    return node && (multiSelect_.MultiSelectLevel() == -1 || node->Level() == multiSelect_.MultiSelectLevel());
}

std::vector<TfcTreeNode*> TfcCustomTreeView::MultiSelectList() const
{
    std::vector<TfcTreeNode*> list;
    for (TfcTreeNode* node = nodes_.GetFirstNode(); node; node = node->GetNext())
        if (node->Selected())
            list.push_back(node);
    return list;
}

void TfcCustomTreeView::UnselectAll()
{
    for (TfcTreeNode* node : MultiSelectList())
        node->SetSelected(false);
}

void TfcCustomTreeView::MultiSelectClick(TfcTreeNode* node, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool range = (modifiers & Qt::ShiftModifier) && anchor_ && anchor_->Parent() == node->Parent();
    if (!ctrl) {
        if (range) {
            for (TfcTreeNode* selected : MultiSelectList())
                if (selected != anchor_)
                    selected->SetSelected(false);
        } else if (OnMultiSelectLevel(node)) {
            UnselectAll();
        }
    }
    if (range) {
        const int from = std::min(anchor_->Index(), node->Index());
        const int to = std::max(anchor_->Index(), node->Index());
        for (TfcTreeNode* sibling = anchor_->Index() == from ? anchor_ : node; sibling && sibling->Index() <= to;
             sibling = sibling->GetNextSibling())
            if (OnMultiSelectLevel(sibling))
                sibling->SetSelected(true);
        SetSelected(node);
        return;
    }
    if ((multiSelect_.Enabled() || ctrl) && OnMultiSelectLevel(node))
        node->SetSelected(!node->Selected());
    SetSelected(node);
    anchor_ = node;
}

void TfcCustomTreeView::MultiSelectAttributesChanged(bool unselect)
{
    if (unselect)
        UnselectAll();
    viewport()->update();
}

bool TfcCustomTreeView::ShowsBox(const TfcTreeNode* node) const
{
    if (node->CheckboxType() != TfcCheckboxType::tctNone)
        return true;
    return multiSelect_.Enabled() && multiSelect_.MultiSelectCheckbox() && OnMultiSelectLevel(node);
}

int TfcCustomTreeView::ItemHeight() const
{
    int height = std::max(fontMetrics().height() + 3, 16);
    if (images_)
        height = std::max(height, images_->Height() + 2);
    return height;
}

TfcItemLayout TfcCustomTreeView::ItemLayout(const TfcTreeNode* node) const
{
    TfcItemLayout layout;
    const int height = ItemHeight();
    const int middle = height / 2;
    const bool root = options_ & tvoShowRoot;
    int x = (node->Level() + (root ? 1 : 0)) * indent_;
    if (node->Level() > 0 || root)
        layout.ButtonCentre = x - indent_ / 2;
    if (ShowsBox(node)) {
        const int half = fcBoxHalfSide(height);
        layout.BoxRect = QRect(x + 1, middle - half, 2 * half, 2 * half);
        x += 2 * half + 3;
    }
    if (images_) {
        layout.ImageRect = QRect(x, middle - images_->Height() / 2, images_->Width(), images_->Height());
        x += images_->Width() + 3;
    }
    layout.TextRect = QRect(x, 0, fontMetrics().horizontalAdvance(node->Text()) + 4, height);
    return layout;
}

QRect TfcCustomTreeView::DisplayRect(const TfcTreeNode* node, bool textOnly) const
{
    const QRect row = visualRect(model_->IndexOf(node));
    if (!textOnly || row.isEmpty())
        return row;
    return ItemLayout(node).TextRect.translated(row.topLeft());
}

TfcTreeNode* TfcCustomTreeView::GetNodeAt(const QPoint& viewportPos) const
{
    return TfcTreeModel::NodeOf(indexAt(viewportPos));
}

TfcHitTest TfcCustomTreeView::GetHitTestInfoAt(const QPoint& viewportPos, TfcTreeNode** nodeOut) const
{
    TfcTreeNode* node = GetNodeAt(viewportPos);
    if (nodeOut)
        *nodeOut = node;
    if (!node)
        return TfcHitTest::fchtNowhere;
    const TfcItemLayout layout = ItemLayout(node);
    const int x = viewportPos.x() - visualRect(model_->IndexOf(node)).left();
    if (layout.ButtonCentre >= 0 && std::abs(x - layout.ButtonCentre) <= indent_ / 2 && node->HasChildren() &&
        (options_ & tvoShowButtons))
        return TfcHitTest::fchtOnButton;
    if (!layout.BoxRect.isEmpty() && x >= layout.BoxRect.left() && x <= layout.BoxRect.right())
        return TfcHitTest::fchtOnStateIcon;
    if (!layout.ImageRect.isEmpty() && x >= layout.ImageRect.left() && x <= layout.ImageRect.right())
        return TfcHitTest::fchtOnIcon;
    if (x >= layout.TextRect.left() && x <= layout.TextRect.right())
        return TfcHitTest::fchtOnLabel;
    return x > layout.TextRect.right() ? TfcHitTest::fchtOnRight : TfcHitTest::fchtOnIndent;
}

void TfcCustomTreeView::ToggleNode(TfcTreeNode* node)
{
    if (!node || !node->HasChildren())
        return;
    bool allow = true;
    if (node->Expanded()) {
        emit OnCollapsing(this, node, allow);
        if (!allow)
            return;
        node->Collapse(false);
        emit OnCollapsed(this, node);
        return;
    }
    emit OnExpanding(this, node, allow);
    if (!allow)
        return;
    if (autoExpand_)
        for (TfcTreeNode* sibling = node->Parent() ? node->Parent()->GetFirstChild() : nodes_.GetFirstNode(); sibling;
             sibling = sibling->GetNextSibling())
            if (sibling != node)
                sibling->Collapse(false);
    node->Expand(false);
    emit OnExpanded(this, node);
}

void TfcCustomTreeView::HideHint()
{
    hintTimer_.stop();
    hintNode_ = nullptr;
    if (hintWindow_)
        hintWindow_->hide();
}

void TfcCustomTreeView::UpdateHint(TfcTreeNode* node)
{
    if (!(options_ & tvoToolTips) || !node || node == hintNode_)
        return;
    HideHint();
    const QRect text = DisplayRect(node, true);
    if (text.right() <= viewport()->width())
        return;
    if (!hintWindow_)
        hintWindow_ = new TfcTreeHintWindow(this);
    const bool link = (options_ & tvoAutoURL) && !node->StringData().isEmpty();
    hintWindow_->ShowHint(viewport()->mapToGlobal(text.topLeft()), node->Text(), font(), link);
    hintNode_ = node;
    hintTicks_ = 0;
    hintTimer_.start();
}

void TfcCustomTreeView::HintTimerTick()
{
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    if (!viewport()->rect().contains(mouse) || ++hintTicks_ > 16)
        HideHint();
}

void TfcCustomTreeView::UpdateLinkCursor(TfcHitTest hit, const TfcTreeNode* node)
{
    if (!(options_ & tvoAutoURL))
        return;
    if (hit == TfcHitTest::fchtOnLabel && !node->StringData().isEmpty())
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void TfcCustomTreeView::ClickBox(TfcTreeNode* node)
{
    if (readOnly_)
        return;
    if (node->CheckboxType() == TfcCheckboxType::tctNone)
        node->SetSelected(!node->Selected());
    else
        node->ToggleByClick(options_ & tvo3StateCheckbox);
}

void TfcCustomTreeView::mousePressEvent(QMouseEvent* event)
{
    HideHint();
    const QPoint pos = event->position().toPoint();
    TfcTreeNode* node = nullptr;
    const TfcHitTest hit = GetHitTestInfoAt(pos, &node);
    emit OnMouseDown(this, node, event->button(), event->modifiers(), pos.x(), pos.y());
    if (event->button() == Qt::RightButton && rightClickSelects_ && node)
        SetSelected(node);
    if (event->button() != Qt::LeftButton || !node) {
        event->accept();
        return;
    }
    if (hit == TfcHitTest::fchtOnButton) {
        if (options_ & tvoExpandButtons3D) {
            pressedButton_ = node;
            buttonShownDown_ = true;
            viewport()->update(DisplayRect(node, false));
        } else {
            ToggleNode(node);
        }
        return;
    }
    if (hit == TfcHitTest::fchtOnStateIcon) {
        ClickBox(node);
        return;
    }
    if (node == Selected() && hit == TfcHitTest::fchtOnLabel && (options_ & tvoEditText) && !readOnly_) {
        edit(model_->IndexOf(node));
        return;
    }
    if (multiSelect_.Enabled())
        MultiSelectClick(node, event->modifiers());
    else
        SetSelected(node);
}

void TfcCustomTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    TfcTreeNode* node = nullptr;
    const TfcHitTest hit = GetHitTestInfoAt(pos, &node);
    if (pressedButton_) {
        TfcTreeNode* pressed = pressedButton_;
        pressedButton_ = nullptr;
        viewport()->update();
        if (node == pressed && hit == TfcHitTest::fchtOnButton)
            ToggleNode(pressed);
    } else if (event->button() == Qt::LeftButton && (options_ & tvoAutoURL) && hit == TfcHitTest::fchtOnLabel &&
               !node->StringData().isEmpty()) {
        TWaitCursor wait;
        QDesktopServices::openUrl(QUrl::fromUserInput(node->StringData()));
    }
    emit OnMouseUp(this, node, event->button(), event->modifiers(), pos.x(), pos.y());
    event->accept();
}

void TfcCustomTreeView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    TfcTreeNode* node = nullptr;
    const TfcHitTest hit = GetHitTestInfoAt(pos, &node);
    if (pressedButton_) {
        const bool down = node == pressedButton_ && hit == TfcHitTest::fchtOnButton;
        if (down != buttonShownDown_) {
            buttonShownDown_ = down;
            viewport()->update(DisplayRect(pressedButton_, false));
        }
    }
    if ((options_ & tvoHotTrack) && node != hotNode_) {
        hotNode_ = node;
        viewport()->update();
    }
    UpdateLinkCursor(hit, node);
    UpdateHint(node);
    emit OnMouseMove(this, node, event->modifiers(), pos.x(), pos.y());
}

void TfcCustomTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    TfcTreeNode* node = nullptr;
    const TfcHitTest hit = GetHitTestInfoAt(event->position().toPoint(), &node);
    if ((options_ & tvoExpandOnDblClk) && node && hit != TfcHitTest::fchtOnButton && hit != TfcHitTest::fchtOnStateIcon)
        ToggleNode(node);
    else
        mousePressEvent(event);
}

void TfcCustomTreeView::keyPressEvent(QKeyEvent* event)
{
    TfcTreeNode* node = Selected();
    if (!node) {
        QTreeView::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        if (multiSelect_.Enabled() && OnMultiSelectLevel(node) && !multiSelect_.MultiSelectCheckbox()) {
            if (event->modifiers() & Qt::ControlModifier)
                node->SetSelected(!node->Selected());
        } else if (!readOnly_ && ShowsBox(node)) {
            ClickBox(node);
        }
        return;
    case Qt::Key_Right:
    case Qt::Key_Plus:
        if (node->HasChildren() && !node->Expanded())
            ToggleNode(node);
        else if (event->key() == Qt::Key_Right && node->HasChildren())
            SetSelected(node->GetFirstChild());
        return;
    case Qt::Key_Left:
    case Qt::Key_Minus:
        if (node->HasChildren() && node->Expanded())
            ToggleNode(node);
        else if (event->key() == Qt::Key_Left && node->Parent())
            SetSelected(node->Parent());
        return;
    default:
        QTreeView::keyPressEvent(event);
    }
}

void TfcCustomTreeView::leaveEvent(QEvent* event)
{
    if (hotNode_) {
        hotNode_ = nullptr;
        viewport()->update();
    }
    QTreeView::leaveEvent(event);
}

void TfcCustomTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTreeView::currentChanged(current, previous);
    viewport()->update();
    if (revertingChange_)
        return;
    TfcTreeNode* node = TfcTreeModel::NodeOf(current);
    bool allow = true;
    emit OnChanging(this, node, allow);
    if (!allow) {
        revertingChange_ = true;
        selectionModel()->setCurrentIndex(previous, QItemSelectionModel::NoUpdate);
        revertingChange_ = false;
        return;
    }
    if (changeTimer_.interval() > 0)
        changeTimer_.start();
    else
        emit OnChange(this, node);
}

void TfcCustomTreeView::ChangeTimerExpired()
{
    emit OnChange(this, Selected());
}

bool TfcCustomTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    TfcTreeNode* node = TfcTreeModel::NodeOf(index);
    if (!node || !(options_ & tvoEditText) || readOnly_)
        return false;
    bool allow = true;
    emit OnEditing(this, node, allow);
    return allow && QTreeView::edit(index, trigger, event);
}

TfcItemState TfcCustomTreeView::ItemState(TfcTreeNode* node)
{
    TfcItemState state;
    state.Font = font();
    state.BackColor = Color();
    state.TextColor = palette().color(QPalette::Text);
    const bool current = node == Selected();
    if (current || (multiSelect_.Enabled() && node->Selected())) {
        state.Flags |= fcisSelected;
        if (ShowsActiveSelection()) {
            state.BackColor = palette().color(QPalette::Highlight);
            state.TextColor = palette().color(QPalette::HighlightedText);
        } else if (!(options_ & tvoHideSelection)) {
            state.BackColor = inactiveFocusColor_ == Color() ? QColor(128, 128, 128) : inactiveFocusColor_;
        }
    }
    if (current && hasFocus())
        state.Flags |= fcisFocused;
    if ((options_ & tvoHotTrack) && node == hotNode_) {
        state.Flags |= fcisHot;
        state.Font.setUnderline(true);
        if (!(state.Flags & fcisSelected))
            state.TextColor = palette().color(QPalette::Link);
    }
    emit OnCalcNodeAttributes(this, node, state);
    return state;
}

void TfcCustomTreeView::PaintItem(QPainter& painter, const QRect& row, TfcTreeNode* node)
{
    const TfcItemLayout layout = ItemLayout(node);
    const TfcItemState state = ItemState(node);
    painter.fillRect(row, Color());
    if ((options_ & tvoShowLines) && layout.ButtonCentre >= 0)
        PaintLines(painter, row, node, layout);
    if ((options_ & tvoShowButtons) && node->HasChildren() && layout.ButtonCentre >= 0)
        PaintButton(painter, row, node, layout.ButtonCentre);
    if (!layout.BoxRect.isEmpty())
        PaintBox(painter, layout.BoxRect.translated(row.topLeft()), node);
    if (images_) {
        const QPoint at = layout.ImageRect.translated(row.topLeft()).topLeft();
        const bool current = node == Selected();
        if (current)
            emit OnGetSelectedIndex(this, node);
        else
            emit OnGetImageIndex(this, node);
        const int index = current && node->SelectedIndex() >= 0 ? node->SelectedIndex() : node->ImageIndex();
        fcImageListDraw(*images_, index, painter, at.x(), at.y(),
                        current ? TfcImageDrawStyle::Selected : TfcImageDrawStyle::Normal, isEnabled());
    }
    const QRect text = layout.TextRect.translated(row.topLeft());
    if (state.BackColor != Color()) {
        const QRect highlight = (options_ & tvoRowSelect) ? QRect(text.topLeft(), row.bottomRight()) : text;
        painter.fillRect(highlight, state.BackColor);
    }
    TfcItemState drawn = state;
    bool defaultDrawing = true;
    emit OnDrawText(this, node, text, drawn, defaultDrawing);
    if (defaultDrawing) {
        painter.setFont(drawn.Font);
        painter.setPen(drawn.TextColor);
        painter.drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, node->Text());
    }
    if (state.Flags & fcisFocused) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = (options_ & tvoRowSelect) ? QRect(text.topLeft(), row.bottomRight()) : text;
        focus.backgroundColor = state.BackColor;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TfcCustomTreeView::PaintLines(QPainter& painter, const QRect& row, const TfcTreeNode* node,
                                   const TfcItemLayout& layout)
{
    TfcCanvas canvas(painter);
    canvas.Pen = QPen(lineColor_);
    const int left = row.left();
    const int top = row.top();
    const int bottom = row.bottom();
    const int middle = top + row.height() / 2;
    const int centre = left + layout.ButtonCentre;
    const int content = left + (layout.BoxRect.isEmpty() ? (layout.ImageRect.isEmpty() ? layout.TextRect.left()
                                                                                       : layout.ImageRect.left())
                                                         : layout.BoxRect.left());
    canvas.DottedLine(QPoint(centre, middle), QPoint(content - 2, middle));
    const bool above = node->GetPrevSibling() || node->Parent();
    canvas.DottedLine(QPoint(centre, above ? top : middle), QPoint(centre, node->GetNextSibling() ? bottom : middle));
    const int rootShift = (options_ & tvoShowRoot) ? 1 : 0;
    for (const TfcTreeNode* parent = node->Parent(); parent; parent = parent->Parent()) {
        if (!parent->GetNextSibling() || parent->Level() + rootShift == 0)
            continue;
        const int x = left + (parent->Level() + rootShift) * indent_ - indent_ / 2;
        canvas.DottedLine(QPoint(x, top), QPoint(x, bottom));
    }
}

void TfcCustomTreeView::PaintButton(QPainter& painter, const QRect& row, const TfcTreeNode* node, int centre)
{
    const QPoint middle(row.left() + centre, row.top() + row.height() / 2);
    const bool threeD = options_ & tvoExpandButtons3D;
    const int half = threeD ? 5 : 4;
    const QRect box(middle.x() - half, middle.y() - half, 2 * half + 1, 2 * half + 1);
    if (threeD) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = box;
        button.state |= (node == pressedButton_ && buttonShownDown_) ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
    } else {
        painter.fillRect(box, Color());
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawLine(middle.x() - 2, middle.y(), middle.x() + 2, middle.y());
    if (!node->Expanded())
        painter.drawLine(middle.x(), middle.y() - 2, middle.x(), middle.y() + 2);
}

void TfcCustomTreeView::PaintBox(QPainter& painter, const QRect& box, const TfcTreeNode* node)
{
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = box;
    const bool own = node->CheckboxType() != TfcCheckboxType::tctNone;
    const bool checked = own ? node->Checked() : node->Selected();
    option.state &= ~QStyle::State_HasFocus;
    if (node->Grayed() && own) {
        if (node->IsRadioButton())
            option.state &= ~QStyle::State_Enabled;
        else if (checked)
            option.state |= QStyle::State_NoChange;
    }
    if (!(option.state & QStyle::State_NoChange))
        option.state |= checked ? QStyle::State_On : QStyle::State_Off;
    if (options_ & tvoFlatCheckBoxes)
        option.features |= QStyleOptionButton::Flat;
    style()->drawPrimitive(node->IsRadioButton() ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox,
                           &option, &painter, this);
}

void TfcCustomTreeView::ForgetNode(const TfcTreeNode* node)
{
    const auto gone = [node](const TfcTreeNode* kept) { return kept && (kept == node || kept->HasAsParent(node)); };
    if (gone(anchor_))
        anchor_ = nullptr;
    if (gone(pressedButton_))
        pressedButton_ = nullptr;
    if (gone(hotNode_))
        hotNode_ = nullptr;
    if (gone(hintNode_))
        HideHint();
}

void TfcCustomTreeView::NodesAboutToInsert(TfcTreeNode* parent, int row)
{
    model_->AboutToInsert(parent, row);
}

void TfcCustomTreeView::NodesInserted()
{
    model_->Inserted();
}

void TfcCustomTreeView::NodeAboutToDelete(TfcTreeNode* node)
{
    const TfcTreeNode* end = node->GetNextSibling();
    for (const TfcTreeNode* p = node->Parent(); !end && p; p = p->Parent())
        end = p->GetNextSibling();
    for (TfcTreeNode* n = node; n && n != end; n = n->GetNext())
        emit OnDeletion(this, n);
    ForgetNode(node);
    model_->AboutToRemove(node);
}

void TfcCustomTreeView::NodesDeleted()
{
    model_->Removed();
}

void TfcCustomTreeView::NodesAboutToReset()
{
    for (TfcTreeNode* node = nodes_.GetFirstNode(); node; node = node->GetNext())
        emit OnDeletion(this, node);
    anchor_ = pressedButton_ = hotNode_ = nullptr;
    HideHint();
    model_->AboutToReset();
}

void TfcCustomTreeView::NodesReset()
{
    model_->Reset();
}

void TfcCustomTreeView::NodesAboutToSort()
{
    model_->AboutToSort();
}

void TfcCustomTreeView::NodesSorted()
{
    model_->Sorted();
}

void TfcCustomTreeView::NodeChanged(TfcTreeNode* node)
{
    if (!nodes_.Updating())
        model_->Changed(node);
}

void TfcCustomTreeView::NodeExpandedChanged(TfcTreeNode* node)
{
    if (syncingExpansion_)
        return;
    syncingExpansion_ = true;
    setExpanded(model_->IndexOf(node), node->Expanded());
    syncingExpansion_ = false;
}

void TfcCustomTreeView::CheckedChanged(TfcTreeNode* node)
{
    if (multiSelect_.Enabled() && multiSelect_.MultiSelectCheckbox() && OnMultiSelectLevel(node) &&
        node->CheckboxType() == TfcCheckboxType::tctCheckbox)
        node->SetSelected(node->Checked());
    emit OnToggleCheckbox(this, node);
}

void TfcCustomTreeView::SortKeyChanged(TfcTreeNode* node, bool text)
{
    const bool both = sortType_ == TfcSortType::fcstBoth;
    if (!(both || sortType_ == (text ? TfcSortType::fcstText : TfcSortType::fcstData)))
        return;
    if (nodes_.Updating()) {
        sortPending_ = true;
        return;
    }
    nodes_.SortChildren(node->Parent(), [this](const TfcTreeNode* a, const TfcTreeNode* b) {
        return CompareNodes(const_cast<TfcTreeNode*>(a), const_cast<TfcTreeNode*>(b));
    }, false);
}

void TfcCustomTreeView::SetRedraw(bool on)
{
    setUpdatesEnabled(on);
    if (!on)
        return;
    if (sortPending_) {
        sortPending_ = false;
        AlphaSort();
    }
    viewport()->update();
}

void TfcCustomTreeView::NodesAssigned()
{
    SetSelected(nodes_.GetFirstNode());
}

} // namespace lumeno
