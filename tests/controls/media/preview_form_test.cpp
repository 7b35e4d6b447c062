#include "controls/media/preview_form.h"

#include "controls/media/go_page_form.h"
#include "print_test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

using test::TestPrinter;

// Pages with a black inch square one inch from the top left corner, a text
// three inches down and a hairline four and a half inches down.
void MakePages(TPreviewPrinter& p, int count)
{
    p.BeginDoc();
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            p.NewPage();
        const int inch = p.Metrics().PixelsPerInchX;
        TQuorMetaFileCanvas& canvas = p.Canvas();
        canvas.Painter().fillRect(inch, inch, inch, inch, Qt::black);
        canvas.SetFont(QFont("Arial", 36));
        canvas.TextOut(inch, 3 * inch, "Text");
        canvas.MoveTo(inch, 9 * inch / 2);
        canvas.LineTo(3 * inch, 9 * inch / 2);
    }
    p.EndDoc();
}

// The darkest grey in a rectangle of an image.
int Darkest(const QImage& image, QRect area)
{
    int darkest = 255;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

struct Buttons {
    bool Next, Prev, First, Last, PageNum;
    friend bool operator==(const Buttons&, const Buttons&) = default;
};

Buttons Enabled(const TPreviewForm& f)
{
    EXPECT_EQ(f.NextPageBut->isEnabled(), f.NextPageSpeed->isEnabled());
    EXPECT_EQ(f.PrevPageBut->isEnabled(), f.PrevPageSpeed->isEnabled());
    return {f.NextPageBut->isEnabled(), f.PrevPageBut->isEnabled(), f.FirstPageSpeed->isEnabled(),
            f.LastPageSpeed->isEnabled(), f.PageNumSpeed->isEnabled()};
}

TEST(PreviewForm, GridHasOneLinePerWholeInch)
{
    EXPECT_EQ(GridLines(5100, 600).size(), 8u);
    EXPECT_EQ(GridLines(6600, 600).size(), 11u);
    EXPECT_EQ(GridLines(6600, 600).front(), 600);
}

TEST(PreviewForm, NavigationEnablesTheButtons)
{
    TestPrinter p;
    MakePages(p, 3);
    TPreviewForm form(p);
    form.show();
    EXPECT_EQ(form.CurPageLabel->text(), "Page 1 of 3");
    EXPECT_EQ(Enabled(form), (Buttons{true, false, false, true, true}));
    form.NextPageBut->click();
    EXPECT_EQ(form.CurPageLabel->text(), "Page 2 of 3");
    EXPECT_EQ(Enabled(form), (Buttons{true, true, true, true, true}));
    form.LastPageSpeed->click();
    EXPECT_EQ(form.CurrentPage(), 2);
    EXPECT_EQ(Enabled(form), (Buttons{false, true, true, false, true}));
    form.FirstPageSpeed->click();
    EXPECT_EQ(form.CurrentPage(), 0);

    // The page-number button asks for the page.
    form.PageNumSpeed->click();
    auto* go = form.findChild<TGoPageForm*>();
    ASSERT_NE(go, nullptr);
    EXPECT_TRUE(go->isVisible());
    EXPECT_EQ(go->windowTitle(), "Go to Page Number");
    EXPECT_EQ(go->PageNum->maximum(), 3);
    EXPECT_EQ(go->PageNum->value(), 1);
    go->PageNum->setValue(3);
    go->OKBut->click();
    EXPECT_EQ(form.CurPageLabel->text(), "Page 3 of 3");
}

TEST(PreviewForm, OnePageAndNoPages)
{
    TestPrinter p;
    MakePages(p, 1);
    {
        TPreviewForm form(p);
        form.show();
        EXPECT_EQ(Enabled(form), (Buttons{false, false, false, false, false}));
    }
    p.BeginDoc();
    p.EndDoc();
    TPreviewForm empty(p);
    empty.show();
    EXPECT_EQ(empty.CurPageLabel->text(), "Page 0 of 0");
    EXPECT_EQ(Enabled(empty), (Buttons{false, false, false, false, false}));
    EXPECT_FALSE(empty.PagePanel->isVisible());
    empty.NextPageBut->click();
    EXPECT_FALSE(empty.grab().isNull());
}

TEST(PreviewForm, TwoPagesShowOnlyOneOnTheLastPage)
{
    TestPrinter p;
    p.ZoomOption = TZoomOption::zoTwoPages;
    MakePages(p, 3);
    TPreviewForm form(p);
    form.show();
    EXPECT_TRUE(form.TwoPageBut->isChecked());
    EXPECT_EQ(form.ZoomBox->currentIndex(), kZoomFitToPage);
    EXPECT_TRUE(form.PagePanel2->isVisible());
    EXPECT_GT(form.PagePanel2->x(), form.PagePanel->geometry().right());
    form.LastPageSpeed->click();
    EXPECT_FALSE(form.PagePanel2->isVisible());
    form.OnePageBut->click();
    form.FirstPageSpeed->click();
    EXPECT_FALSE(form.PagePanel2->isVisible());
}

TEST(PreviewForm, ZoomClicksAndFitting)
{
    TestPrinter p;
    p.ZoomOption = TZoomOption::zoFitToWidth;
    MakePages(p, 1);
    TPreviewForm form(p);
    form.show();
    EXPECT_EQ(form.ZoomBox->currentText(), "Fit To Width");
    EXPECT_NEAR(form.PagePanel->width(), form.ScrollBox1->viewport()->width() - 20, 1);

    form.ZoomBox->setCurrentIndex(form.ZoomBox->findText("100%"));
    EXPECT_DOUBLE_EQ(form.ZoomFactor(), 1.0);
    EXPECT_EQ(form.ZoomLabel->text(), "100%");
    EXPECT_NEAR(form.PagePanel->width(), 8.5 * form.logicalDpiX(), 1);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(form.PB1, Qt::LeftButton, {},
                          QPoint(form.PB1->width() / 2, form.PB1->height() / 3));
    EXPECT_DOUBLE_EQ(form.ZoomFactor(), 3.375);
    EXPECT_EQ(form.ZoomBox->currentText(), "Custom");
    EXPECT_EQ(form.ZoomLabel->text(), "338%");
    // The clicked point ends up in the middle of the view.
    const QPoint clicked =
        form.PB1->mapTo(form.ScrollBox1->viewport(), QPoint(form.PB1->width() / 2, form.PB1->height() / 3));
    EXPECT_NEAR(clicked.x(), form.ScrollBox1->viewport()->width() / 2, 2);
    EXPECT_NEAR(clicked.y(), form.ScrollBox1->viewport()->height() / 2, 2);
    QTest::mouseClick(form.PB1, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_DOUBLE_EQ(form.ZoomFactor(), 2.25);

    // The hand drags the page.
    form.HandCursorBut->click();
    QScrollBar* h = form.ScrollBox1->horizontalScrollBar();
    QScrollBar* v = form.ScrollBox1->verticalScrollBar();
    h->setValue(300);
    v->setValue(300);
    QTest::mousePress(form.PB1, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(form.PB1, QPoint(150, 160));
    QTest::mouseRelease(form.PB1, Qt::LeftButton, {}, QPoint(150, 160));
    EXPECT_EQ(h->value(), 350);
    EXPECT_EQ(v->value(), 340);

    form.FitPageBut->click();
    EXPECT_EQ(form.ZoomBox->currentIndex(), kZoomFitToPage);
    EXPECT_NEAR(form.PagePanel->height(), form.ScrollBox1->viewport()->height() - 20, 1);
}

TEST(PreviewForm, CustomStartZoomAndGridShowing)
{
    TestPrinter p;
    p.ZoomOption = TZoomOption::zoCustom;
    p.ZoomVal = 50;
    p.ShowGrid = true;
    MakePages(p, 1);
    TPreviewForm form(p);
    form.show();
    EXPECT_EQ(form.ZoomBox->currentText(), "Custom");
    EXPECT_DOUBLE_EQ(form.ZoomFactor(), 0.5);
    EXPECT_TRUE(form.GridBut->isChecked());

    // The page is drawn to scale, with the grid over it.
    const QImage page = form.PB1->grab().toImage();
    const double inch = double(page.width()) / 8.5;
    EXPECT_LT(qGray(page.pixel(int(1.5 * inch), int(1.5 * inch))), 64);
    EXPECT_EQ(qGray(page.pixel(int(0.5 * inch), int(0.5 * inch))), 255);
    EXPECT_EQ(qGray(page.pixel(int(0.5 * inch), int(2.5 * inch))), 255);
    EXPECT_EQ(page.pixelColor(int(std::lround(3 * inch)), int(0.5 * inch)), QColor(0xC0, 0xC0, 0xC0));
    // Text and a printer hairline stay visible at a reduced size.
    const int i = int(inch);
    EXPECT_LT(Darkest(page, QRect(i + 2, 3 * i, i, i / 2)), 100);
    EXPECT_LT(Darkest(page, QRect(i + 2, int(4.5 * inch) - 2, i / 2, 5)), 100);
}

TEST(PreviewForm, HintsGoToTheStatusLine)
{
    TestPrinter p;
    MakePages(p, 1);
    TPreviewForm form(p);
    form.show();
    QStatusTipEvent tip(form.GridBut->statusTip());
    QApplication::sendEvent(form.GridBut, &tip);
    EXPECT_EQ(form.HintLabel->text(), form.GridBut->statusTip());
}

} // namespace
} // namespace lumeno
