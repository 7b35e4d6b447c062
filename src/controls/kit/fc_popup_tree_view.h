#pragma once
// The tree inside a tree combo's popup: its selection follows the mouse, a
// release on an item chooses it, and holding the button above or below the
// list scrolls it every 50 ms.

#include "controls/kit/fc_tree_view.h"

namespace lumeno {

class TfcCustomTreeCombo;

class TfcPopupTreeView : public TfcTreeView {
    Q_OBJECT
public:
    explicit TfcPopupTreeView(TfcCustomTreeCombo* combo);

    TfcCustomTreeCombo* Combo() const { return combo_; }
    // At every drop-down: forget the mouse.
    void ResetMouse();
    void StopScrollTimer() { scrollTimer_.stop(); }
    bool Scrolling() const { return scrollTimer_.isActive(); }

    // The mouse seen by the combo's filter outside the popup, in viewport
    // coordinates.
    void MouseMoveAt(const QPoint& pos, Qt::MouseButtons buttons);
    void MouseUpAt(const QPoint& pos);

protected:
    bool ShowsActiveSelection() const override { return true; }
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    void ScrollTick();

    TfcCustomTreeCombo* combo_;
    QPoint lastMouse_{-1, -1};
    bool countRelease_ = true;
    bool pressedInPopup_ = false;
    int scrollStep_ = 0;
    QTimer scrollTimer_;
};

} // namespace lumeno
