#include "controls/shell/dfs_status_bar.h"

#include "controls/shell/dfs_keyboard_hook.h"
#include "controls/shell/lock_key_state.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace lumeno {

TdfsStatusBar::TdfsStatusBar(QWidget* parent)
    : QWidget(parent), panels_(std::make_unique<TdfsStatusPanels>(*this))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TdfsStatusBar::~TdfsStatusBar()
{
    panels_->Clear();
    if (!mainWinHookPanels_.empty())
        ReportImbalance("Unbalanced MainWinHook registrations");
    QObject::disconnect(stateConnection_);
}

void TdfsStatusBar::SetUseMonitorDLL(bool value)
{
    if (value == useMonitorDLL_)
        return;
    if (value && !monitor_.Load())
        return;
    useMonitorDLL_ = value;
    SyncAllRegistrations();
}

QRect TdfsStatusBar::PanelRect(int index) const
{
    if (index < 0 || index >= panels_->Count())
        return {};
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += (*panels_)[i].Width();
    const int right = index == panels_->Count() - 1 ? width() : left + (*panels_)[index].Width();
    return QRect(QPoint(left, 2), QPoint(std::min(right, width()) - 1, height() - 1));
}

int TdfsStatusBar::PanelAt(const QPoint& point) const
{
    for (int i = 0; i < panels_->Count(); ++i)
        if (PanelRect(i).contains(point))
            return i;
    return -1;
}

bool TdfsStatusBar::HintAt(const QPoint& point, QString& text, QRect& area) const
{
    const int index = PanelAt(point);
    if (index >= 0) {
        text = (*panels_)[index].HintText();
        if (!text.isEmpty()) {
            area = PanelRect(index);
            return true;
        }
    }
    // The bar's own hint holds between the nearest panels with hints.
    int left = 0;
    int right = width();
    for (int i = 0; i < panels_->Count(); ++i) {
        if ((*panels_)[i].HintText().isEmpty())
            continue;
        const QRect r = PanelRect(i);
        if (r.right() < point.x())
            left = std::max(left, r.right() + 1);
        else if (r.left() > point.x())
            right = std::min(right, r.left());
    }
    text = toolTip();
    area = QRect(left, 0, right - left, height());
    return !text.isEmpty();
}

int TdfsStatusBar::TextWidth(const QString& text) const
{
    return fontMetrics().horizontalAdvance(text);
}

QColor TdfsStatusBar::BarColor() const
{
    return palette().color(QPalette::Window);
}

QColor TdfsStatusBar::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

// Painted at once: progress texts change inside loops that give the event
// loop no turn.
void TdfsStatusBar::RepaintPanel(int index)
{
    repaint(PanelRect((*panels_)[index].Index()));
}

void TdfsStatusBar::PanelsChanged()
{
    update();
}

void TdfsStatusBar::RepaintLockPanels()
{
    for (TdfsStatusPanel* panel : mainWinHookPanels_)
        panel->Invalidate();
}

void TdfsStatusBar::RegisterMainWinHook(TdfsStatusPanel* panel)
{
    if (mainWinHookPanels_.empty())
        stateConnection_ = connect(qApp, &QGuiApplication::applicationStateChanged, this,
                                   &TdfsStatusBar::ApplicationStateChanged);
    mainWinHookPanels_.push_back(panel);
}

void TdfsStatusBar::UnregisterMainWinHook(TdfsStatusPanel* panel)
{
    std::erase(mainWinHookPanels_, panel);
    if (mainWinHookPanels_.empty())
        QObject::disconnect(stateConnection_);
}

bool TdfsStatusBar::MonitorRegister(TdfsStatusPanel*)
{
    if (monitorCount_ == 0) {
        if (!monitor_.Load())
            return false;
        monitorMessage_ = monitor_.Register(winId());
    }
    ++monitorCount_;
    return true;
}

void TdfsStatusBar::MonitorUnregister(TdfsStatusPanel*)
{
    if (monitorCount_ == 0 || --monitorCount_ > 0)
        return;
    monitor_.Deregister(internalWinId());
    monitor_.Unload();
    monitorMessage_ = 0;
}

QSize TdfsStatusBar::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 8);
}

bool TdfsStatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        QString text;
        QRect area;
        if (HintAt(help->pos(), text, area))
            QToolTip::showText(help->globalPos(), text, this, area);
        else
            QToolTip::hideText();
        return true;
    }
    if (monitorMessage_ != 0 && event->type() == monitorMessage_) {
        MonitorKeyChanged(static_cast<const TKeyMonitorEvent&>(*event));
        return true;
    }
    return QWidget::event(event);
}

void TdfsStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), BarColor());
    for (int i = 0; i < panels_->Count(); ++i) {
        TdfsStatusPanel& panel = (*panels_)[i];
        const QRect r = PanelRect(i);
        if (r.isEmpty())
            continue;
        DrawBevel(painter, r, panel.Bevel());
        painter.setFont(font());
        emit OnDrawPanel(this, &panel, &painter, r);
        panel.Paint(painter, r);
    }
}

void TdfsStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        const int index = PanelAt(event->position().toPoint());
        if (index >= 0 && (*panels_)[index].OnClick)
            (*panels_)[index].OnClick(&(*panels_)[index]);
        emit OnClick();
    }
    QWidget::mouseReleaseEvent(event);
}

void TdfsStatusBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        SyncAllRegistrations();
        update();
    } else if (event->type() == QEvent::FontChange) {
        FitPanels();
    }
    QWidget::changeEvent(event);
}

void TdfsStatusBar::ApplicationStateChanged(Qt::ApplicationState state)
{
    if (useMonitorDLL_)
        return;
    if (state != Qt::ApplicationActive)
        TdfsKeyboardHook::Instance().SetRepaintAll();
    QMetaObject::invokeMethod(this, &TdfsStatusBar::RepaintLockPanels, Qt::QueuedConnection);
}

void TdfsStatusBar::MonitorKeyChanged(const TKeyMonitorEvent& event)
{
    const TdfsStatusPanelType type = event.VirtualKey == VK_NUMLOCK  ? sptNumLock
                                     : event.VirtualKey == VK_SCROLL ? sptScrollLock
                                                                     : sptCapsLock;
    for (int i = 0; i < panels_->Count(); ++i) {
        TdfsStatusPanel& panel = (*panels_)[i];
        if (panel.PanelType() == type) {
            panel.SetKeyState(event.State & 1);
            panel.Invalidate();
        }
    }
}

void TdfsStatusBar::SyncAllRegistrations()
{
    for (int i = 0; i < panels_->Count(); ++i)
        (*panels_)[i].SyncRegistration();
}

void TdfsStatusBar::FitPanels()
{
    for (int i = 0; i < panels_->Count(); ++i)
        (*panels_)[i].Fit();
}

void TdfsStatusBar::DrawBevel(QPainter& painter, const QRect& r, TStatusPanelBevel bevel) const
{
    if (bevel == pbNone)
        return;
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QColor topLeft = bevel == pbLowered ? dark : light;
    const QColor bottomRight = bevel == pbLowered ? light : dark;
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

} // namespace lumeno
