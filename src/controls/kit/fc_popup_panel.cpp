#include "controls/kit/fc_popup_panel.h"

#include <QStyle>

namespace lumeno {

TfcPopupPanel::TfcPopupPanel(QWidget* content)
    : QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), content_(content)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this));
    content_->setParent(this);
    resize(100, 100);
}

void TfcPopupPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    content_->setGeometry(contentsRect());
}

} // namespace lumeno
