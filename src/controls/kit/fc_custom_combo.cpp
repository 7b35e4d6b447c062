#include "controls/kit/fc_custom_combo.h"

#include "controls/kit/fc_common.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

namespace lumeno {

QRect fcPopupGeometry(const QRect& comboOnScreen, int itemCount, int dropDownCount, QSize itemSize, int border,
                      int scrollBarWidth, const QRect& screen)
{
    const int height = (itemCount >= 1 ? std::min(dropDownCount, itemCount) * itemSize.height()
                                       : comboOnScreen.height()) +
                       2 * border;
    const int width = std::max(comboOnScreen.width(), itemSize.width() + 2 * border + 2 * scrollBarWidth);
    int x = comboOnScreen.left();
    if (screen.left() + screen.width() - width < x)
        x = comboOnScreen.left() + comboOnScreen.width() - width;
    int y = comboOnScreen.top() + comboOnScreen.height();
    if (y + height > screen.top() + screen.height())
        y = comboOnScreen.top() - height;
    return {x, y, width, height};
}

TfcComboLayout fcComboLayout(QSize size, int frame, int scrollBarWidth, bool hostVisible, int leftIndent,
                             int topIndent)
{
    TfcComboLayout layout;
    const int buttonWidth = std::max(scrollBarWidth, 15);
    const int clientWidth = size.width() - 2 * frame;
    const int clientHeight = size.height() - 2 * frame;
    layout.Host = QRect(size.width() - frame - buttonWidth, frame, buttonWidth, clientHeight);
    layout.Button = QRect(0, 0, buttonWidth, clientHeight);
    const int right = hostVisible ? layout.Host.left() - frame - 1 : clientWidth - 2;
    layout.Edit = QRect(QPoint(leftIndent, topIndent), QPoint(right, clientHeight + 1));
    return layout;
}

TfcCustomCombo::TfcCustomCombo(QWidget* parent)
    : QLineEdit(parent), host_(new TBtnWinControl(this)), button_(new TfcDropDownButton(host_))
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    host_->resize(std::max(scrollBar + 4, 17), 17);
    button_->resize(std::max(scrollBar, 15), 17);
    connect(button_, &TfcDropDownButton::MouseDown, this, &TfcCustomCombo::ButtonMouseDown);
    setCursor(Qt::IBeamCursor);
    UpdateButtonPosition();
}

TfcCustomCombo::~TfcCustomCombo()
{
    RemoveFilter();
}

void TfcCustomCombo::RemoveFilter()
{
    if (!filtering_)
        return;
    qApp->removeEventFilter(this);
    filtering_ = false;
}

void TfcCustomCombo::SetStyle(TfcComboStyle value)
{
    style_ = value;
    if (value == TfcComboStyle::csDropDownList) {
        HideCaret();
        setCursor(Qt::ArrowCursor);
    } else {
        ShowCaret();
        setCursor(Qt::IBeamCursor);
    }
}

void TfcCustomCombo::SetReadOnly(bool value)
{
    readOnly_ = value;
    QLineEdit::setReadOnly(value || style_ == TfcComboStyle::csDropDownList);
}

void TfcCustomCombo::UpdateButtonPosition()
{
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    layout_ = fcComboLayout(size(), frame, scrollBar, host_->isVisibleTo(this), GetLeftIndent(), GetTopIndent());
    host_->setGeometry(layout_.Host);
    button_->setGeometry(layout_.Button);
    const int clientWidth = width() - 2 * frame;
    setTextMargins(layout_.Edit.left(), layout_.Edit.top(), clientWidth - layout_.Edit.right() - 1, 0);
}

void TfcCustomCombo::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    UpdateButtonPosition();
}

void TfcCustomCombo::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    PaintFace(painter);
}

void TfcCustomCombo::PostDropDown()
{
    QMetaObject::invokeMethod(this, [this] { DropDown(); }, Qt::QueuedConnection);
}

void TfcCustomCombo::DropDown()
{
    if (IsDroppedDown())
        return;
    if (!filtering_) {
        qApp->installEventFilter(this);
        filtering_ = true;
    }
    emit OnDropDown(this);
    QWidget* container = GetDropDownContainer();
    QPoint origin = mapToGlobal(QPoint(0, 0));
    if (fcIsInGrid(this))
        origin.ry() += 1;
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    container->setGeometry(fcPopupGeometry(QRect(origin, size()), GetItemCount(), dropDownCount_, GetItemSize(),
                                           border, scrollBar, screenArea));
    const bool onTop = window()->windowFlags() & Qt::WindowStaysOnTopHint;
    if (onTop != bool(container->windowFlags() & Qt::WindowStaysOnTopHint))
        container->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    container->show();
    GetDropDownControl()->repaint();
    ShowCaret();
}

void TfcCustomCombo::CloseUp(bool)
{
    selectAll();
    if (IsDroppedDown()) {
        GetDropDownContainer()->hide();
        update();
        if (GetDropDownControl()->hasFocus())
            setFocus();
    }
    if (style_ == TfcComboStyle::csDropDownList)
        HideCaret();
    RemoveFilter();
}

void TfcCustomCombo::CheckCancelMode(const QPoint& globalPos)
{
    QWidget* control = GetDropDownControl();
    const QRect controlRect(control->mapToGlobal(QPoint(0, 0)), control->size());
    const QRect comboRect(mapToGlobal(QPoint(0, 0)), size());
    if (!controlRect.contains(globalPos) && !comboRect.contains(globalPos))
        CloseUp(false);
}

void TfcCustomCombo::ButtonMouseDown(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    if (IsDroppedDown()) {
        CloseUp(true);
        return;
    }
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    if (hasFocus())
        PostDropDown();
}

void TfcCustomCombo::mousePressEvent(QMouseEvent* event)
{
    if (style_ == TfcComboStyle::csDropDownList) {
        if (event->button() == Qt::LeftButton && !IsDroppedDown())
            PostDropDown();
        else if (IsDroppedDown())
            CloseUp(true);
    }
    QLineEdit::mousePressEvent(event);
}

bool TfcCustomCombo::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && IsDroppedDown()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
            CloseUp(true);
    }
    return QLineEdit::event(event);
}

bool TfcCustomCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsDroppedDown() || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* container = GetDropDownContainer();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !container->isAncestorOf(widget) && widget != container)
            CheckCancelMode(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!container->isAncestorOf(widget) && widget != container)
            PopupMouseOutside(event->type(), mouse->globalPosition().toPoint(), mouse->buttons());
        break;
    }
    case QEvent::Move:
    case QEvent::WindowDeactivate:
        // The window manager moves or leaves the window: as a press on its
        // frame. A platform that activates the popup itself does not count.
        if (widget == window() && QApplication::activeWindow() != container)
            CloseUp(true);
        break;
    default:
        break;
    }
    return false;
}

bool TfcCustomCombo::KeyDown(QKeyEvent* event)
{
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (key == Qt::Key_Escape && isModified() && !IsDroppedDown()) {
        selectAll();
        setModified(false);
        return true;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) && IsDroppedDown() && !alt) {
        CloseUp(key != Qt::Key_Escape);
        return true;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && alt) {
        if (IsDroppedDown())
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    return false;
}

bool TfcCustomCombo::KeyPress(QKeyEvent* event)
{
    if (readOnly_)
        return true;
    const QString text = event->text();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool changes = event->key() == Qt::Key_Backspace ||
                         (ctrl && (event->key() == Qt::Key_V || event->key() == Qt::Key_X)) ||
                         (!ctrl && !text.isEmpty() && text[0].isPrint());
    return changes && !EditCanModify();
}

void TfcCustomCombo::keyPressEvent(QKeyEvent* event)
{
    if (KeyDown(event) || KeyPress(event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace lumeno
