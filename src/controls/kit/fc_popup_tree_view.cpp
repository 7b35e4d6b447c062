#include "controls/kit/fc_popup_tree_view.h"

#include "controls/kit/fc_tree_combo.h"

#include <QGuiApplication>
#include <QMouseEvent>

namespace lumeno {

TfcPopupTreeView::TfcPopupTreeView(TfcCustomTreeCombo* combo) : combo_(combo)
{
    SetNodeClass([](TfcTreeNodes* owner) { return std::make_unique<TfcTreeComboTreeNode>(owner); });
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    scrollTimer_.setInterval(50);
    connect(&scrollTimer_, &QTimer::timeout, this, &TfcPopupTreeView::ScrollTick);
}

void TfcPopupTreeView::ResetMouse()
{
    lastMouse_ = QPoint(-1, -1);
    pressedInPopup_ = false;
    countRelease_ = true;
}

void TfcPopupTreeView::MouseMoveAt(const QPoint& pos, Qt::MouseButtons buttons)
{
    if (pos == lastMouse_)
        return;
    lastMouse_ = pos;
    if (!combo_->ReadOnly() && viewport()->rect().contains(pos)) {
        TfcTreeNode* node = GetNodeAt(pos);
        if (node && combo_->IsSelectable(node) && node != Selected())
            SetSelected(node);
    }
    const bool above = pos.y() < 0;
    const bool below = pos.y() >= viewport()->height();
    if ((buttons & Qt::LeftButton) && (above || below)) {
        scrollStep_ = above ? -1 : 1;
        if (!scrollTimer_.isActive())
            scrollTimer_.start();
    } else {
        scrollTimer_.stop();
    }
}

void TfcPopupTreeView::MouseUpAt(const QPoint& pos)
{
    const bool inside = viewport()->rect().contains(pos);
    if (!countRelease_) {
        countRelease_ = true;
        return;
    }
    if (!pressedInPopup_ && !inside) {
        // The release of the click that opened the popup.
        scrollTimer_.stop();
        return;
    }
    TfcTreeNode* node = nullptr;
    const TfcHitTest hit = GetHitTestInfoAt(pos, &node);
    if (!inside)
        node = Selected();
    if (hit != TfcHitTest::fchtOnButton && node && combo_->IsSelectable(node))
        combo_->ChooseFromPopup(node, inside);
}

void TfcPopupTreeView::mousePressEvent(QMouseEvent* event)
{
    combo_->CheckCancelMode(event->globalPosition().toPoint());
    if (!combo_->IsDroppedDown() || event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    pressedInPopup_ = true;
    TfcTreeNode* node = nullptr;
    if (GetHitTestInfoAt(pos, &node) == TfcHitTest::fchtOnButton) {
        ToggleNode(node);
        countRelease_ = false;
        return;
    }
    countRelease_ = viewport()->rect().contains(pos);
}

void TfcPopupTreeView::mouseMoveEvent(QMouseEvent* event)
{
    MouseMoveAt(event->position().toPoint(), event->buttons());
    TfcTreeView::mouseMoveEvent(event);
}

void TfcPopupTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        MouseUpAt(event->position().toPoint());
}

void TfcPopupTreeView::ScrollTick()
{
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        scrollTimer_.stop();
        combo_->CloseUp(true);
        return;
    }
    TfcTreeNode* node = Selected();
    if (!node) {
        SetSelected(Items().GetFirstNode());
        return;
    }
    do
        node = scrollStep_ < 0 ? node->GetPrevVisible() : node->GetNextVisible();
    while (node && !combo_->IsSelectable(node));
    if (node) {
        SetSelected(node);
        MakeVisible(node);
    }
}

} // namespace lumeno
