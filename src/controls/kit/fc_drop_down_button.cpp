#include "controls/kit/fc_drop_down_button.h"

#include "controls/kit/fc_common.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumeno {

TfcDropDownButton::TfcDropDownButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void TfcDropDownButton::SetFrameStyle(int value)
{
    frameStyle_ = value;
    update();
}

void TfcDropDownButton::SetDown(bool value)
{
    if (down_ == value)
        return;
    down_ = value;
    update();
}

void TfcDropDownButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    fcDrawComboButton(painter, this, rect(), frameStyle_, down_, isEnabled());
}

void TfcDropDownButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        SetDown(true);
    emit MouseDown(event->button());
}

void TfcDropDownButton::mouseMoveEvent(QMouseEvent* event)
{
    // Leaving the button while it is held lets it go, as a release would.
    if (down_ && !rect().contains(event->position().toPoint()))
        SetDown(false);
}

void TfcDropDownButton::mouseReleaseEvent(QMouseEvent*)
{
    SetDown(false);
}

} // namespace lumeno
