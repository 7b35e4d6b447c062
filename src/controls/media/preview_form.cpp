#include "controls/media/preview_form.h"

#include "controls/media/go_page_form.h"
#include "controls/media/preview_printer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lumeno {

namespace {

struct TZoomEntry {
    const char* Text;
    double Factor; // 0 for the computed entries
};

constexpr TZoomEntry kZoomEntries[] = {
    {"Fit To Page", 0}, {"Fit To Width", 0}, {"Custom", 0}, {"25%", 0.25}, {"50%", 0.5},  {"75%", 0.75},
    {"100%", 1.0},      {"125%", 1.25},      {"150%", 1.5}, {"200%", 2.0}, {"300%", 3.0}, {"400%", 4.0},
};

// Room around the pages inside the scroll box, and between two pages.
constexpr int kPageMargin = 10;

QCursor MakeZoomCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(19, 19, 29, 29);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPoint(12, 12), 9, 9);
    p.drawLine(8, 12, 16, 12);
    p.drawLine(12, 8, 12, 16);
    p.end();
    return QCursor(pixmap, 12, 12);
}

QToolButton* MakeToolButton(QWidget* parent, const char* name, const QString& text, const QString& tip,
                            bool checkable)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setStatusTip(tip);
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    return button;
}

QToolButton* MakeSpeedButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                             const QString& tip)
{
    QToolButton* button = MakeToolButton(parent, name, QString(), tip, false);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}

QPushButton* MakePushButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

double ZoomFactorFor(int entry, double customFactor, QSize viewClient, double screenPpi, QSizeF pageInches)
{
    switch (entry) {
    case kZoomFitToPage:
        return pageInches.height() > 0 ? (viewClient.height() - 20) / screenPpi / pageInches.height() : 1.0;
    case kZoomFitToWidth:
        return pageInches.width() > 0 ? (viewClient.width() - 20) / screenPpi / pageInches.width() : 1.0;
    case kZoomCustom:
        return customFactor;
    default:
        break;
    }
    return entry > 0 && entry < int(std::size(kZoomEntries)) ? kZoomEntries[entry].Factor : 1.0;
}

std::vector<int> GridLines(int size, int pixelsPerInch)
{
    std::vector<int> lines;
    if (pixelsPerInch <= 0)
        return lines;
    for (int at = pixelsPerInch; at <= size; at += pixelsPerInch)
        lines.push_back(at);
    return lines;
}

TPreviewForm::TPreviewForm(TPreviewPrinter& printer, QWidget* parent)
    : QDialog(parent), printer_(printer), zoomCursor_(MakeZoomCursor())
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(tr("Print Preview"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    resize(900, 700);
    CreateToolBar();
    CreatePages();
    CreateStatusLine();
    // Between the tool bar and the status line.
    qobject_cast<QVBoxLayout*>(layout())->insertWidget(1, ScrollBox1, 1);
    Connect();
    ZoomCursorBut->setChecked(true);
    PB1->setCursor(zoomCursor_);
    PB2->setCursor(zoomCursor_);
    GridBut->setChecked(printer_.ShowGrid);
    SelectStartZoom();
    UpdateLayout();
}

void TPreviewForm::CreateToolBar()
{
    GridBut = MakeToolButton(this, "GridBut", tr("Grid"), tr("Show or hide the inch grid"), true);
    ZoomCursorBut = MakeToolButton(this, "ZoomCursorBut", tr("Zoom"),
                                   tr("Click to zoom in, right-click to zoom out"), true);
    HandCursorBut = MakeToolButton(this, "HandCursorBut", tr("Hand"), tr("Drag to move the page"), true);
    OnePageBut = MakeToolButton(this, "OnePageBut", tr("One Page"), tr("Show one page"), true);
    TwoPageBut = MakeToolButton(this, "TwoPageBut", tr("Two Pages"), tr("Show two pages"), true);
    FitPageBut = MakeToolButton(this, "FitPageBut", tr("Fit Page"), tr("Fit the whole page"), false);
    FitWidthBut = MakeToolButton(this, "FitWidthBut", tr("Fit Width"), tr("Fit the page width"), false);
    PrintBut = MakePushButton(this, "PrintBut", tr("&Print..."));
    NextPageBut = MakePushButton(this, "NextPageBut", tr("&Next"));
    PrevPageBut = MakePushButton(this, "PrevPageBut", tr("Pre&v"));
    PrevPageBut->setEnabled(false);
    CloseBut = MakePushButton(this, "CloseBut", tr("&Close"));
    ZoomBox = new QComboBox(this);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    for (const TZoomEntry& entry : kZoomEntries)
        ZoomBox->addItem(QString::fromLatin1(entry.Text));
    auto* cursorGroup = new QButtonGroup(this);
    cursorGroup->addButton(ZoomCursorBut);
    cursorGroup->addButton(HandCursorBut);
    auto* pagesGroup = new QButtonGroup(this);
    pagesGroup->addButton(OnePageBut);
    pagesGroup->addButton(TwoPageBut);
    OnePageBut->setChecked(true);

    auto* bar = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{GridBut, ZoomCursorBut, HandCursorBut, OnePageBut,
                                                      TwoPageBut, FitPageBut, FitWidthBut, ZoomBox})
        bar->addWidget(w);
    bar->addStretch(1);
    for (QWidget* w : std::initializer_list<QWidget*>{PrintBut, PrevPageBut, NextPageBut, CloseBut})
        bar->addWidget(w);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
}

void TPreviewForm::CreatePages()
{
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ContainPanel = new QWidget;
    ContainPanel->setObjectName(QStringLiteral("ContainPanel"));
    ScrollBox1->setWidget(ContainPanel);
    const auto makePanel = [this](const char* panelName, const char* boxName, QWidget*& box) {
        auto* panel = new QFrame(ContainPanel);
        panel->setObjectName(QString::fromLatin1(panelName));
        panel->setFrameShape(QFrame::Box);
        panel->setLineWidth(1);
        box = new QWidget(panel);
        box->setObjectName(QString::fromLatin1(boxName));
        box->setAttribute(Qt::WA_OpaquePaintEvent);
        box->installEventFilter(this);
        return panel;
    };
    PagePanel = makePanel("PagePanel", "PB1", PB1);
    PagePanel2 = makePanel("PagePanel2", "PB2", PB2);
    ScrollBox1->viewport()->installEventFilter(this);
}

void TPreviewForm::CreateStatusLine()
{
    HintLabel = new QLabel(this);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    CurPageLabel = new QLabel(this);
    CurPageLabel->setObjectName(QStringLiteral("CurPageLabel"));
    ZoomLabel = new QLabel(this);
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    ZoomLabel->setMinimumWidth(50);
    ZoomLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FirstPageSpeed = MakeSpeedButton(this, "FirstPageSpeed", QStyle::SP_MediaSkipBackward, tr("First page"));
    PrevPageSpeed = MakeSpeedButton(this, "PrevPageSpeed", QStyle::SP_ArrowLeft, tr("Previous page"));
    NextPageSpeed = MakeSpeedButton(this, "NextPageSpeed", QStyle::SP_ArrowRight, tr("Next page"));
    LastPageSpeed = MakeSpeedButton(this, "LastPageSpeed", QStyle::SP_MediaSkipForward, tr("Last page"));
    PageNumSpeed = MakeToolButton(this, "PageNumSpeed", tr("Go to..."), tr("Go to a page number"), false);
    auto* line = new QHBoxLayout;
    line->addWidget(HintLabel, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{FirstPageSpeed, PrevPageSpeed, CurPageLabel,
                                                      NextPageSpeed, LastPageSpeed, PageNumSpeed, ZoomLabel})
        line->addWidget(w);
    qobject_cast<QVBoxLayout*>(layout())->addLayout(line);
}

void TPreviewForm::Connect()
{
    connect(ZoomBox, &QComboBox::currentIndexChanged, this, [this] { ZoomBoxChange(); });
    connect(GridBut, &QToolButton::toggled, this, [this] {
        PB1->update();
        PB2->update();
    });
    connect(ZoomCursorBut, &QToolButton::clicked, this, [this] {
        PB1->setCursor(zoomCursor_);
        PB2->setCursor(zoomCursor_);
    });
    connect(HandCursorBut, &QToolButton::clicked, this, [this] {
        PB1->setCursor(Qt::PointingHandCursor);
        PB2->setCursor(Qt::PointingHandCursor);
    });
    for (QToolButton* b : {OnePageBut, TwoPageBut, FitPageBut})
        connect(b, &QToolButton::clicked, this, [this] { SelectZoomEntry(kZoomFitToPage); });
    connect(FitWidthBut, &QToolButton::clicked, this, [this] { SelectZoomEntry(kZoomFitToWidth); });
    connect(PrintBut, &QPushButton::clicked, this, [this] { printer_.Print(); });
    connect(CloseBut, &QPushButton::clicked, this, &QDialog::close);
    connect(NextPageBut, &QPushButton::clicked, this, [this] { GoToPage(currentPage_ + 1); });
    connect(NextPageSpeed, &QToolButton::clicked, this, [this] { GoToPage(currentPage_ + 1); });
    connect(PrevPageBut, &QPushButton::clicked, this, [this] { GoToPage(currentPage_ - 1); });
    connect(PrevPageSpeed, &QToolButton::clicked, this, [this] { GoToPage(currentPage_ - 1); });
    connect(FirstPageSpeed, &QToolButton::clicked, this, [this] { GoToPage(0); });
    connect(LastPageSpeed, &QToolButton::clicked, this, [this] { GoToPage(printer_.PageCount() - 1); });
    connect(PageNumSpeed, &QToolButton::clicked, this, [this] { PageNumSpeedClick(); });
}

void TPreviewForm::SelectStartZoom()
{
    const QSignalBlocker block(ZoomBox);
    switch (printer_.ZoomOption) {
    case TZoomOption::zoFitToPage:
        ZoomBox->setCurrentIndex(kZoomFitToPage);
        break;
    case TZoomOption::zoFitToWidth:
        ZoomBox->setCurrentIndex(kZoomFitToWidth);
        break;
    case TZoomOption::zoTwoPages:
        TwoPageBut->setChecked(true);
        ZoomBox->setCurrentIndex(kZoomFitToPage);
        break;
    case TZoomOption::zoCustom:
        customFactor_ = printer_.ZoomVal / 100.0;
        ZoomBox->setCurrentIndex(kZoomCustom);
        break;
    }
}

void TPreviewForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;
    GoToPage(0);
    ZoomBoxChange();
}

bool TPreviewForm::event(QEvent* e)
{
    // Hints of the window's controls go to the status line.
    if (e->type() == QEvent::StatusTip) {
        HintLabel->setText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QDialog::event(e);
}

void TPreviewForm::GoToPage(int index)
{
    const int count = printer_.PageCount();
    currentPage_ = std::clamp(index, 0, std::max(0, count - 1));
    CurPageLabel->setText(QStringLiteral("Page %1 of %2").arg(count > 0 ? currentPage_ + 1 : 0).arg(count));
    UpdateButtons();
    PagePanel->setVisible(count > 0);
    PagePanel2->setVisible(TwoPageBut->isChecked() && currentPage_ + 1 < count);
    PB1->update();
    PB2->update();
}

void TPreviewForm::UpdateButtons()
{
    const int count = printer_.PageCount();
    const bool next = count > currentPage_ + 1;
    const bool previous = currentPage_ >= 1;
    NextPageBut->setEnabled(next);
    NextPageSpeed->setEnabled(next);
    LastPageSpeed->setEnabled(next);
    PrevPageBut->setEnabled(previous);
    PrevPageSpeed->setEnabled(previous);
    FirstPageSpeed->setEnabled(previous);
    PageNumSpeed->setEnabled(count > 1);
}

QSizeF TPreviewForm::PageInches() const
{
    const TDeviceMetrics& m = printer_.PageCount() > 0 ? printer_.Page(0).Metrics() : printer_.Metrics();
    if (m.PixelsPerInchX <= 0 || m.PixelsPerInchY <= 0)
        return {};
    return {double(m.PhysicalWidth) / m.PixelsPerInchX, double(m.PhysicalHeight) / m.PixelsPerInchY};
}

void TPreviewForm::UpdateLayout()
{
    const QSize client = ScrollBox1->viewport()->size();
    const double ppi = logicalDpiY();
    const QSizeF inches = PageInches();
    const double factor = ZoomFactorFor(ZoomBox->currentIndex(), customFactor_, client, ppi, inches);
    const QSize page(std::max(1, int(std::lround(inches.width() * ppi * factor))),
                     std::max(1, int(std::lround(inches.height() * ppi * factor))));
    const bool two = TwoPageBut->isChecked();
    const int total = two ? 2 * page.width() + kPageMargin : page.width();
    const QSize container(std::max(client.width(), total + 2 * kPageMargin),
                          std::max(client.height(), page.height() + 2 * kPageMargin));
    ContainPanel->resize(container);
    const QPoint origin((container.width() - total) / 2, (container.height() - page.height()) / 2);
    PagePanel->setGeometry(QRect(origin, page));
    PagePanel2->setGeometry(QRect(origin + QPoint(page.width() + kPageMargin, 0), page));
    PB1->setGeometry(PagePanel->contentsRect());
    PB2->setGeometry(PagePanel2->contentsRect());
    PagePanel2->setVisible(two && currentPage_ + 1 < printer_.PageCount());
    customFactor_ = factor;
    ZoomLabel->setText(QLocale().toString(factor * 100, 'f', 0) + QLatin1Char('%'));
}

void TPreviewForm::ZoomBoxChange()
{
    // The first layout may show or hide the scroll bars, which changes the
    // room the second one fits into.
    UpdateLayout();
    UpdateLayout();
}

void TPreviewForm::SelectZoomEntry(int entry)
{
    if (ZoomBox->currentIndex() == entry)
        ZoomBoxChange();
    else
        ZoomBox->setCurrentIndex(entry);
}

int TPreviewForm::BoxPage(const QWidget* box) const
{
    return box == PB1 ? currentPage_ : currentPage_ + 1;
}

void TPreviewForm::PaintBox(QWidget* box)
{
    QPainter p(box);
    p.fillRect(box->rect(), Qt::white);
    const int index = BoxPage(box);
    if (index >= printer_.PageCount())
        return;
    const TPageMetafile& page = printer_.Page(index);
    const TDeviceMetrics& m = page.Metrics();
    // No antialiasing: hairlines of the printer must stay visible when the
    // page is drawn smaller.
    p.setRenderHints(QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.setWindow(0, 0, m.PhysicalWidth, m.PhysicalHeight);
    p.setViewport(box->rect());
    PlayPage(p, page);
    if (!GridBut->isChecked())
        return;
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 0));
    for (int x : GridLines(m.PhysicalWidth, m.PixelsPerInchX))
        p.drawLine(x, 0, x, m.PhysicalHeight);
    for (int y : GridLines(m.PhysicalHeight, m.PixelsPerInchY))
        p.drawLine(0, y, m.PhysicalWidth, y);
}

void TPreviewForm::ZoomClick(QWidget* box, QPoint at, bool zoomIn)
{
    const double fx = box->width() > 0 ? double(at.x()) / box->width() : 0;
    const double fy = box->height() > 0 ? double(at.y()) / box->height() : 0;
    customFactor_ *= zoomIn ? 1.5 : 2.0 / 3.0;
    SelectZoomEntry(kZoomCustom);
    const QPoint inContainer =
        box->mapTo(ContainPanel, QPoint(int(fx * box->width()), int(fy * box->height())));
    ScrollBox1->horizontalScrollBar()->setValue(inContainer.x() - ScrollBox1->viewport()->width() / 2);
    ScrollBox1->verticalScrollBar()->setValue(inContainer.y() - ScrollBox1->viewport()->height() / 2);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ScrollBox1->viewport()) {
        if (e->type() == QEvent::Resize)
            UpdateLayout();
        return false;
    }
    auto* box = qobject_cast<QWidget*>(watched);
    if (box != PB1 && box != PB2)
        return false;
    switch (e->type()) {
    case QEvent::Paint:
        PaintBox(box);
        return true;
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (ZoomCursorBut->isChecked() &&
            (me->button() == Qt::LeftButton || me->button() == Qt::RightButton)) {
            ZoomClick(box, me->position().toPoint(), me->button() == Qt::LeftButton);
        } else if (HandCursorBut->isChecked()) {
            dragOrigin_ = me->globalPosition().toPoint();
            dragging_ = true;
        }
        return true;
    }
    case QEvent::MouseMove:
        if (dragging_) {
            const QPoint now = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            const QPoint moved = now - dragOrigin_;
            ScrollBox1->horizontalScrollBar()->setValue(ScrollBox1->horizontalScrollBar()->value() -
                                                        moved.x());
            ScrollBox1->verticalScrollBar()->setValue(ScrollBox1->verticalScrollBar()->value() - moved.y());
            dragOrigin_ = now;
        }
        return true;
    case QEvent::MouseButtonRelease:
        dragging_ = false;
        return true;
    default:
        return false;
    }
}

void TPreviewForm::PageNumSpeedClick()
{
    auto* form = new TGoPageForm(this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->PageNum->setMaximum(printer_.PageCount());
    form->PageNum->setValue(currentPage_ + 1);
    connect(form, &QDialog::accepted, this, [this, form] { GoToPage(form->PageNum->value() - 1); });
    form->open();
}

} // namespace lumeno
