#include "controls/shell/dfs_keyboard_hook.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/format_date_time.h"
#include "controls/shell/lock_key_state.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

// Records the regions the bar repaints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    QRegion region;
};

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFollowedLockKeys();
        bar.resize(600, 24);
    }
    void ShowAndSettle()
    {
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        QApplication::processEvents();
    }
    void SendKey(int key, bool autoRepeat)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
        QCoreApplication::sendEvent(bar.windowHandle(), &press);
    }
    TdfsStatusBar bar;
};

TEST_F(StatusBarTest, TimerIntervalFollowsTheMembers)
{
    TdfsStatusPanel& date = bar.Panels().Add();
    date.SetPanelType(sptDate);
    EXPECT_TRUE(bar.Panels().TimerActive());
    EXPECT_EQ(bar.Panels().TimerInterval(), 60000);

    TdfsStatusPanel& time = bar.Panels().Add();
    time.SetPanelType(sptTime);
    EXPECT_EQ(bar.Panels().TimerInterval(), 1000);

    TdfsStatusPanel& gauge = bar.Panels().Add();
    gauge.GaugeAttrs().SetStyle(gsIndeterminate);
    gauge.SetPanelType(sptGauge);
    EXPECT_EQ(bar.Panels().TimerInterval(), 50);

    bar.Panels().Delete(gauge.Index());
    EXPECT_EQ(bar.Panels().TimerInterval(), 1000);

    time.SetEnabled(false);
    EXPECT_EQ(bar.Panels().TimerInterval(), 60000);
    time.SetEnabled(true);
    EXPECT_EQ(bar.Panels().TimerInterval(), 1000);

    // A disabled bar keeps no panel on its timer.
    bar.setEnabled(false);
    EXPECT_FALSE(bar.Panels().TimerActive());
    bar.setEnabled(true);
    EXPECT_EQ(bar.Panels().TimerInterval(), 1000);

    time.SetPanelType(sptNormal);
    date.SetPanelType(sptNormal);
    EXPECT_FALSE(bar.Panels().TimerActive());
    EXPECT_EQ(TdfsKeyboardHook::Instance().TimerRegistrations(), 0);
}

TEST_F(StatusBarTest, GaugeStyleMovesThePanelOnAndOffTheTimer)
{
    TdfsStatusPanel& gauge = bar.Panels().Add();
    gauge.SetPanelType(sptGauge);
    EXPECT_FALSE(bar.Panels().TimerActive());
    gauge.GaugeAttrs().SetStyle(gsIndeterminate2);
    EXPECT_EQ(bar.Panels().TimerInterval(), 50);
    gauge.GaugeAttrs().SetStyle(gsPercent);
    EXPECT_FALSE(bar.Panels().TimerActive());
}

TEST_F(StatusBarTest, DatePanelRefreshesOnlyWhenTheDateChanges)
{
    TdfsStatusPanel& date = bar.Panels().Add();
    date.SetPanelType(sptDate);
    TdfsStatusPanel& time = bar.Panels().Add();
    time.SetPanelType(sptTime);
    time.SetTimeFormat("hh:nn:ss");
    EXPECT_FALSE(date.Text().empty());
    date.SetText("stale");
    time.SetText("stale");
    bar.Panels().Tick();
    EXPECT_EQ(date.Text(), "stale");
    EXPECT_NE(time.Text(), "stale");
    EXPECT_EQ(time.Text().size(), 8u);
}

TEST_F(StatusBarTest, PercentGaugeFillsItsShareAndShowsThePercentage)
{
    bar.resize(202, 24);
    TdfsStatusPanel& panel = bar.Panels().Add();
    panel.SetText("Saving");
    panel.SetPanelType(sptGauge);
    panel.GaugeAttrs().SetColor(RGB(0, 0, 255));
    panel.GaugeAttrs().SetPosition(37);
    EXPECT_EQ(panel.GaugeText(), "Saving");
    panel.SetText("");
    EXPECT_EQ(panel.GaugeText(), "37%");
    EXPECT_EQ(panel.Alignment(), taCenter);

    const QImage image = panel.DrawToBitmap(bar.PanelRect(0)).toImage();
    ASSERT_EQ(image.width(), 200);
    int filled = 0;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, 0) == QColor(0, 0, 255))
            ++filled;
    EXPECT_EQ(filled, 74);
    EXPECT_EQ(image.pixelColor(73, 0), QColor(0, 0, 255));
    EXPECT_NE(image.pixelColor(74, 0), QColor(0, 0, 255));

    panel.SetText("Saving");
    panel.SetPanelType(sptNormal);
    EXPECT_EQ(panel.Text(), "Saving");
}

TEST_F(StatusBarTest, GaugePositionIsClampedAndSpeedMustBePositive)
{
    TdfsStatusPanel& panel = bar.Panels().Add();
    panel.GaugeAttrs().SetPosition(250);
    EXPECT_EQ(panel.GaugeAttrs().Position(), 100);
    panel.GaugeAttrs().SetPosition(-5);
    EXPECT_EQ(panel.GaugeAttrs().Position(), 0);
    panel.GaugeAttrs().SetSpeed(7);
    panel.GaugeAttrs().SetSpeed(0);
    EXPECT_EQ(panel.GaugeAttrs().Speed(), 7);
    EXPECT_EQ(panel.GaugeStep(), 7);
}

TEST_F(StatusBarTest, CopiedGaugeAttributesKeepTheirOwnPanel)
{
    TdfsStatusPanel& a = bar.Panels().Add();
    auto other = std::make_unique<TdfsStatusBar>();
    TdfsStatusPanel& b = other->Panels().Add();
    b.GaugeAttrs().SetPosition(60);
    b.GaugeAttrs().SetStyle(gsIndeterminate);
    a.SetGaugeAttrs(b.GaugeAttrs());
    EXPECT_EQ(a.GaugeAttrs().Owner(), &a);
    EXPECT_EQ(a.GaugeAttrs().Position(), 60);
    EXPECT_EQ(a.GaugeAttrs().Style(), gsIndeterminate);
    // The source's bar may go; the copy still repaints its own panel.
    other.reset();
    a.GaugeAttrs().SetPosition(10);
    EXPECT_EQ(a.GaugeAttrs().Position(), 10);
}

TEST_F(StatusBarTest, MovingGaugeBouncesAtThePanelEdges)
{
    bar.resize(60, 24);
    TdfsStatusPanel& panel = bar.Panels().Add();
    panel.GaugeAttrs().SetStyle(gsIndeterminate2);
    panel.SetPanelType(sptGauge);
    const int width = bar.PanelRect(0).width() - 2;
    int ticks = 0;
    while (panel.GaugeStep() > 0 && ticks++ < 100)
        bar.Panels().Tick();
    EXPECT_GE(panel.GaugeOffset() + 1, width);
    while (panel.GaugeStep() < 0 && ticks++ < 200)
        bar.Panels().Tick();
    EXPECT_LE(panel.GaugeOffset(), -100);
    EXPECT_EQ(panel.GaugeStep(), 4);

    panel.SetEnabled(false);
    EXPECT_EQ(panel.GaugeOffset(), 0);
}

TEST_F(StatusBarTest, LockKeyRepaintsOnlyItsPanelsAndAutoRepeatNothing)
{
    TdfsStatusPanel& caps = bar.Panels().Add();
    caps.SetPanelType(sptCapsLock);
    TdfsStatusPanel& num = bar.Panels().Add();
    num.SetPanelType(sptNumLock);
    bar.Panels().Add().SetText("text");
    EXPECT_EQ(caps.Text(), " CAPS ");
    EXPECT_TRUE(caps.AutoFit());
    EXPECT_EQ(caps.Width(), bar.TextWidth(" CAPS ") + 6);
    EXPECT_TRUE(TdfsKeyboardHook::Instance().Installed());
    ShowAndSettle();

    // A deactivation before may have left a repaint of all lock panels due.
    SendKey(Qt::Key_A, false);
    QApplication::processEvents();
    PaintRecorder recorder(&bar);
    SendKey(Qt::Key_CapsLock, false);
    QApplication::processEvents();
    EXPECT_TRUE(recorder.region.intersects(bar.PanelRect(caps.Index())));
    EXPECT_FALSE(recorder.region.intersects(bar.PanelRect(num.Index())));
    EXPECT_TRUE(caps.KeyToggled());

    recorder.region = QRegion();
    SendKey(Qt::Key_CapsLock, true);
    SendKey(Qt::Key_NumLock, true);
    SendKey(Qt::Key_A, false);
    QApplication::processEvents();
    EXPECT_TRUE(recorder.region.isEmpty());
    EXPECT_TRUE(caps.KeyToggled());

    bar.Panels().Clear();
    EXPECT_FALSE(TdfsKeyboardHook::Instance().Installed());
}

// Loops on the window's thread set progress texts; they must reach the screen before the loop goes on.
TEST_F(StatusBarTest, PanelTextIsPaintedAtOnceWithoutTheEventLoop)
{
    bar.Panels().Add().SetWidth(100);
    TdfsStatusPanel& progress = bar.Panels().Add();
    progress.SetWidth(200);
    ShowAndSettle();
    PaintRecorder recorder(&bar);
    progress.SetText("File 1 of 3");
    EXPECT_TRUE(recorder.region.intersects(bar.PanelRect(progress.Index())));
    EXPECT_FALSE(recorder.region.intersects(bar.PanelRect(0)));

    recorder.region = QRegion();
    bar.RepaintPanel(0);
    EXPECT_TRUE(recorder.region.intersects(bar.PanelRect(0)));
}

TEST_F(StatusBarTest, EllipsisPathShortensInTheMiddleAndHintsTheFullPath)
{
    const std::string path = "/home/someone/pictures/holidays/2019/summer/beach/IMG_0001.jpg";
    TdfsStatusPanel& panel = bar.Panels().Add();
    panel.SetWidth(150);
    panel.SetPanelType(sptEllipsisPath);
    panel.SetText(path);
    bar.Panels().Add();
    EXPECT_EQ(panel.Hint(), "...");
    EXPECT_EQ(panel.HintText().toStdString(), path);

    const QFontMetrics metrics(bar.font());
    const QString shown = TdfsStatusPanel::EllipsisPath(QString::fromStdString(path), metrics, 148);
    EXPECT_LE(metrics.horizontalAdvance(shown), 148);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/h")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral(".../IMG_0001.jpg")));

    QString text;
    QRect area;
    ASSERT_TRUE(bar.HintAt(QPoint(10, 10), text, area));
    EXPECT_EQ(text.toStdString(), path);
    EXPECT_EQ(area, bar.PanelRect(0));

    panel.OnHintText = [](TdfsStatusBar*, TdfsStatusPanel*, QString& hint) { hint = "changed"; };
    EXPECT_EQ(panel.HintText(), "changed");
}

TEST_F(StatusBarTest, BarHintCoversTheStretchBetweenHintedPanels)
{
    for (int i = 0; i < 4; ++i)
        bar.Panels().Add().SetWidth(100);
    bar.Panels()[0].SetHint("first");
    bar.Panels()[3].SetHint("last");
    bar.setToolTip("bar");
    QString text;
    QRect area;
    ASSERT_TRUE(bar.HintAt(QPoint(150, 10), text, area));
    EXPECT_EQ(text, "bar");
    EXPECT_EQ(area.left(), 100);
    EXPECT_EQ(area.right() + 1, 300);
}

TEST_F(StatusBarTest, ClickFiresThePanelThenTheBar)
{
    bar.Panels().Add().SetWidth(100);
    TdfsStatusPanel& second = bar.Panels().Add();
    std::vector<std::string> order;
    second.OnClick = [&](TdfsStatusPanel*) { order.push_back("panel"); };
    QObject::connect(&bar, &TdfsStatusBar::OnClick, [&] { order.push_back("bar"); });
    ShowAndSettle();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(order, (std::vector<std::string>{"panel", "bar"}));
}

TEST_F(StatusBarTest, MissingMonitorLibraryLeavesTheHookInCharge)
{
    bar.Panels().Add().SetPanelType(sptScrollLock);
    bar.SetUseMonitorDLL(true);
    EXPECT_FALSE(bar.UseMonitorDLL());
    EXPECT_TRUE(TdfsKeyboardHook::Instance().Installed());
    EXPECT_THROW(bar.RepaintPanel(5), std::out_of_range);
    EXPECT_EQ(bar.Version(), "TdfsStatusBar v1.12");
}

TEST_F(StatusBarTest, GlyphFitsAndItsCornerColourIsSeeThrough)
{
    QPixmap glyph(10, 8);
    glyph.fill(Qt::magenta);
    {
        QPainter p(&glyph);
        p.fillRect(2, 2, 6, 4, Qt::darkGreen);
    }
    TdfsStatusPanel& panel = bar.Panels().Add();
    panel.SetPanelType(sptGlyph);
    panel.SetGlyph(glyph);
    bar.Panels().Add();
    EXPECT_TRUE(panel.AutoFit());
    EXPECT_EQ(panel.Width(), 14);
    panel.SetWidth(99); // ignored while fitting
    EXPECT_EQ(panel.Width(), 14);

    const QImage image = panel.DrawToBitmap(bar.PanelRect(0)).toImage();
    bool magenta = false;
    bool green = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            magenta |= image.pixelColor(x, y) == QColor(Qt::magenta);
            green |= image.pixelColor(x, y) == QColor(Qt::darkGreen);
        }
    EXPECT_FALSE(magenta);
    EXPECT_TRUE(green);
}

TEST_F(StatusBarTest, DisabledPanelShowsOnlyTheBarColour)
{
    TdfsStatusPanel& panel = bar.Panels().Add();
    panel.SetText("Hidden");
    panel.SetEnabled(false);
    const QImage image = panel.DrawToBitmap(bar.PanelRect(0)).toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixelColor(x, y), bar.BarColor());
    // An owner-drawn panel leaves the drawing to its event.
    panel.SetEnabled(true);
    panel.SetPanelType(sptOwnerDraw);
    EXPECT_TRUE(panel.DrawToBitmap(bar.PanelRect(0)).isNull());
    EXPECT_TRUE(panel.DrawToBitmap(QRect(0, 0, 2, 2)).isNull());
}

TEST(FormatDateTimeTest, ClassicTokens)
{
    const QDateTime t(QDate(2024, 3, 7), QTime(14, 5, 9, 42));
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", t), "2024-03-07 14:05:09.042");
    // "m" right after an hour is minutes.
    EXPECT_EQ(FormatDateTime("h.mm d.m.yy", t), "14.05 7.3.24");
    EXPECT_EQ(FormatDateTime("h:nn am/pm", t), "2:05 pm");
    EXPECT_EQ(FormatDateTime("hh A/P", t), "02 P");
    EXPECT_EQ(FormatDateTime("'day' d \"of\" mmmm", t), "day 7 of " + QLocale().monthName(3).toStdString());
}

} // namespace
} // namespace lumeno
