#include "controls/shell/color_button_palette.h"

#include "controls/shell/dfs_color_button.h"

#include <QColorDialog>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>

namespace lumeno {

namespace {

constexpr int kColumns = 4;
constexpr int kRows = 5;
constexpr int kCell = 18;
constexpr int kGap = 3;
constexpr int kMargin = 4;
constexpr int kInnerWidth = kColumns * kCell + (kColumns - 1) * kGap;

QColor ToQColor(TColor c)
{
    return QColor(static_cast<int>(GetRValue(c)), static_cast<int>(GetGValue(c)),
                  static_cast<int>(GetBValue(c)));
}

TColor FromQColor(const QColor& c)
{
    return RGB(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
               static_cast<unsigned>(c.blue()));
}

// The dialog's 16 custom colours run down the 2 rows first, then across.
int CustomIndex(int x, int y)
{
    return (x - 1) * 2 + (y - 1);
}

} // namespace

TDFSColorButtonPalette::TDFSColorButtonPalette(TdfsColorButton* button)
    : QWidget(button, Qt::Popup), button_(button), paletteColors_(button->PaletteColors()),
      customColors_(button->CustomColors()), otherColor_(button->OtherColor()),
      showHints_(button->ShowColorHints())
{
    // A click on the drop-down button only closes the palette.
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    const int index = button->PaletteIndex();
    current_ = index == 0 ? QPoint(1, 0) : QPoint((index - 1) % kColumns + 1, (index - 1) / kColumns + 1);

    otherButton_ = new QPushButton(QString::fromStdString(button->OtherBtnCaption()), this);
    otherButton_->setFocusPolicy(Qt::NoFocus);
    const int top = kMargin + (kRows + 1) * (kCell + kGap);
    otherButton_->setGeometry(kMargin, top, kInnerWidth, otherButton_->sizeHint().height());
    connect(otherButton_, &QPushButton::clicked, this, &TDFSColorButtonPalette::OpenColorDialog);
}

QSize TDFSColorButtonPalette::sizeHint() const
{
    return QSize(kInnerWidth + 2 * kMargin, otherButton_->geometry().bottom() + 1 + kMargin);
}

QRect TDFSColorButtonPalette::CellRect(const QPoint& cell) const
{
    if (cell.y() == 0)
        return QRect(kMargin, kMargin, kInnerWidth, kCell);
    return QRect(kMargin + (cell.x() - 1) * (kCell + kGap), kMargin + cell.y() * (kCell + kGap), kCell,
                 kCell);
}

QPoint TDFSColorButtonPalette::CellAt(const QPoint& point) const
{
    if (CellRect({1, 0}).contains(point))
        return {1, 0};
    for (int y = 1; y <= kRows; ++y)
        for (int x = 1; x <= kColumns; ++x)
            if (CellRect({x, y}).contains(point))
                return {x, y};
    return kNoCell;
}

TColor TDFSColorButtonPalette::CellColor(const QPoint& cell) const
{
    return cell.y() == 0 ? otherColor_ : paletteColors_.Color(cell.x(), cell.y());
}

QString TDFSColorButtonPalette::HintFor(const QPoint& cell) const
{
    if (!showHints_ || cell == kNoCell)
        return {};
    const TColor c = CellColor(cell);
    QString hint = QString::asprintf("RGB = %.3d %.3d %.3d", GetRValue(c), GetGValue(c), GetBValue(c));
    if (button_)
        emit button_->OnGetColorHintText(button_, c, cell.x(), cell.y(), hint);
    return hint;
}

bool TDFSColorButtonPalette::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint cell = CellAt(help->pos());
        const QString hint = HintFor(cell);
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this, CellRect(cell));
        return true;
    }
    return QWidget::event(event);
}

void TDFSColorButtonPalette::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const auto drawCell = [&](const QPoint& cell) {
        const QRect r = CellRect(cell);
        p.fillRect(r, ToQColor(CellColor(cell)));
        p.setPen(palette().color(QPalette::Shadow));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    };
    drawCell({1, 0});
    for (int y = 1; y <= kRows; ++y)
        for (int x = 1; x <= kColumns; ++x)
            drawCell({x, y});
    if (current_ != kNoCell) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(CellRect(current_).adjusted(-1, -1, 0, 0));
    }
}

void TDFSColorButtonPalette::mouseMoveEvent(QMouseEvent* event)
{
    SetCurrent(CellAt(event->position().toPoint()));
}

void TDFSColorButtonPalette::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint cell = CellAt(event->position().toPoint());
    if (cell != kNoCell)
        Pick(cell);
    else
        close();
}

void TDFSColorButtonPalette::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current_ != kNoCell)
            Pick(current_);
        else
            close();
        break;
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        Move(event->key());
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TDFSColorButtonPalette::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!colorDialogOpen_)
        Finish();
}

void TDFSColorButtonPalette::SetCurrent(const QPoint& cell)
{
    if (cell == current_)
        return;
    current_ = cell;
    update();
}

void TDFSColorButtonPalette::Pick(const QPoint& cell)
{
    if (button_)
        button_->PalettePicked(cell.y() == 0 ? 0 : (cell.y() - 1) * kColumns + cell.x(), otherColor_);
    close();
}

void TDFSColorButtonPalette::Move(int key)
{
    if (current_ == kNoCell)
        return SetCurrent({1, 1});
    QPoint cell = current_;
    if (key == Qt::Key_Up)
        cell.setY(cell.y() == 0 ? kRows : cell.y() - 1);
    else if (key == Qt::Key_Down)
        cell.setY(cell.y() == kRows ? 0 : cell.y() + 1);
    else if (cell.y() != 0 && key == Qt::Key_Left)
        cell.setX(cell.x() == 1 ? kColumns : cell.x() - 1);
    else if (cell.y() != 0 && key == Qt::Key_Right)
        cell.setX(cell.x() == kColumns ? 1 : cell.x() + 1);
    SetCurrent(cell);
}

void TDFSColorButtonPalette::OpenColorDialog()
{
    if (!button_)
        return;
    auto* dialog = new QColorDialog(ToQColor(button_->Color()), button_->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    for (int x = 1; x <= customColors_.XSize(); ++x)
        for (int y = 1; y <= customColors_.YSize(); ++y)
            QColorDialog::setCustomColor(CustomIndex(x, y), ToQColor(customColors_.Color(x, y)));
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor& chosen) {
        for (int x = 1; x <= customColors_.XSize(); ++x)
            for (int y = 1; y <= customColors_.YSize(); ++y) {
                const QColor c = QColorDialog::customColor(CustomIndex(x, y));
                customColors_.SetColor(x, y, c.isValid() ? FromQColor(c) : clWhite);
            }
        otherColor_ = FromQColor(chosen);
        if (button_)
            button_->PalettePicked(0, otherColor_);
    });
    connect(dialog, &QDialog::finished, this, [this] {
        colorDialogOpen_ = false;
        Finish();
    });
    colorDialogOpen_ = true;
    hide();
    dialog->open();
}

void TDFSColorButtonPalette::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (button_)
        button_->PaletteClosed(customColors_);
    deleteLater();
}

} // namespace lumeno
