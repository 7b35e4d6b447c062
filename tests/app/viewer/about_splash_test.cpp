#include "app/viewer/about_form.h"
#include "app/viewer/splash_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(Splash, ClosesAndIsFreedAtItsTick)
{
    QPointer<TfrmSplashForm> splash = new TfrmSplashForm;
    EXPECT_EQ(splash->size(), QSize(596, 147));
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash->windowTitle(), "Lumeno by Orvella Software");
    EXPECT_FALSE(splash->testAttribute(Qt::WA_QuitOnClose)) << "only the main window ends the program";
    splash->show();
    EXPECT_TRUE(splash->Timer1->isActive());
    EXPECT_EQ(splash->Timer1->interval(), 2000);
    splash->Timer1Timer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

class AboutTest : public ::testing::Test {
protected:
    void TearDown() override { delete fAbout(); }
};

TEST_F(AboutTest, CreditsRollAndStartAgain)
{
    TfAbout& about = *fAbout();
    EXPECT_EQ(about.size(), QSize(259, 339));
    EXPECT_EQ(about.ScrollBox1->size(), QSize(161, 110));
    EXPECT_EQ(about.Memo1->height(), 900);
    EXPECT_TRUE(about.Memo1->text().startsWith("<<< " + QApplication::applicationDisplayName() + " >>>"));
    about.show();
    EXPECT_EQ(about.Timer1->interval(), 60);
    EXPECT_TRUE(about.Timer1->isActive());
    EXPECT_EQ(about.Memo1->y(), 100);
    for (int tick = 1; tick <= 340; ++tick)
        about.Timer1Timer();
    EXPECT_EQ(about.Memo1->y(), -580);
    EXPECT_TRUE(about.Movie1->isVisibleTo(&about));
    about.Timer1Timer();
    EXPECT_EQ(about.Memo1->y(), 100);
    EXPECT_FALSE(about.Movie1->isVisibleTo(&about));
    EXPECT_TRUE(about.Movie2->isVisibleTo(&about));
    about.hide();
    EXPECT_FALSE(about.Timer1->isActive());
}

TEST_F(AboutTest, CtrlQShowsTheVersionUntilAKeyIsReleased)
{
    TfAbout& about = *fAbout();
    about.show();
    EXPECT_EQ(about.lversion->text(), "Version 7.8.0.0");
    EXPECT_FALSE(about.lversion->isVisibleTo(&about));
    QKeyEvent ctrlQ(QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
    QApplication::sendEvent(&about, &ctrlQ);
    EXPECT_TRUE(about.lversion->isVisibleTo(&about));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Q, Qt::ControlModifier);
    QApplication::sendEvent(&about, &release);
    EXPECT_FALSE(about.lversion->isVisibleTo(&about));
    QApplication::sendEvent(&about, &ctrlQ);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(&about, &other);
    EXPECT_FALSE(about.lversion->isVisibleTo(&about));
    about.hide();
}

} // namespace
} // namespace lumeno
