#include "platform/exception.h"
#include "platform/qt/application.h"
#include "platform/qt/qt_dialogs.h"
#include "support/owner_recording_dialogs.h"
#include "support/recording_dialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>
#include <thread>

namespace lumeno {
namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw Exception("Unknown file format");
        return QObject::event(e);
    }
};

TEST(Application, ExceptionLeavingAHandlerIsShownAndTheProgramGoesOn)
{
    test::RecordingDialogs rec;
    ThrowingObject obj;
    QEvent ev(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&obj, &ev));
    const auto shown = rec.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Unknown file format");
    EXPECT_EQ(shown[0].Type, TMsgDlgType::mtError);
}

TEST(QtDialogs, WorkerThreadGetsTheDefaultWithoutABox)
{
    TQtDialogs dialogs;
    int result = -1;
    std::thread worker([&] { result = dialogs.Show({"", "Warning", TMsgDlgType::mtWarning, mbOKCancel, mrCancel}); });
    worker.join();
    EXPECT_EQ(result, mrCancel);
}

// A widget that asks (shows a box, or fails) while it handles a user event.
class AskingWidget : public QWidget {
public:
    using QWidget::QWidget;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QWidget::event(e);
        if (Fail)
            throw Exception("Unknown file format");
        ShowMessage("asked");
        return true;
    }
    bool Fail = false;
};

void Ask(QObject* asker)
{
    QEvent ev(QEvent::User);
    QCoreApplication::sendEvent(asker, &ev);
}

// Boxes open in front of the window whose event asks, also when it is not
// the active one, and fall back to the window a closed dialog or menu
// belongs to.
TEST(AskingWindow, BoxesBelongToTheWindowThatAsks)
{
    test::OwnerRecordingDialogs rec;
    QWidget window;
    window.show();
    QWidget other;
    other.show();
    other.activateWindow();
    auto* inWindow = new AskingWidget(&window);
    Ask(inWindow);
    inWindow->Fail = true;
    Ask(inWindow);

    auto* dialog = new QDialog(&window);
    auto* inClosedDialog = new AskingWidget(dialog);
    Ask(inClosedDialog);
    auto* menu = new QMenu(&window);
    auto* inMenu = new AskingWidget(menu);
    Ask(inMenu);
    auto* timer = new QTimer(new AskingWidget(&window));
    {
        const TAskingWindow asking(timer);
        ShowMessage("from a timer of the window");
    }
    dialog->show();
    Ask(inClosedDialog);

    ASSERT_EQ(rec.Owners.size(), 6u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(rec.Owners[i], &window) << i;
    EXPECT_EQ(rec.Owners[5], dialog);
    EXPECT_EQ(rec.Shown()[1].Text, "Unknown file format");
}

// A nested scope asks first; once its window is gone the outer one asks.
TEST(AskingWindow, InnerScopesWinWhileTheirWindowIsThere)
{
    QWidget outer;
    outer.show();
    const TAskingWindow outerScope(&outer);
    {
        auto* inner = new QWidget;
        inner->show();
        const TAskingWindow innerScope(inner);
        EXPECT_EQ(TAskingWindow::Current(), inner);
        delete inner;
        EXPECT_EQ(TAskingWindow::Current(), &outer);
    }
    EXPECT_EQ(TAskingWindow::Current(), &outer);
}

// Without a scope a box takes the topmost window: one that stays on top
// before the one shown and activated after it; never the splash.
TEST(AskingWindow, WithoutAScopeTheTopmostWindowAsks)
{
    QWidget onTop(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    onTop.show();
    QWidget later;
    later.show();
    later.activateWindow();
    QWidget splash(nullptr, Qt::SplashScreen | Qt::WindowStaysOnTopHint);
    splash.show();
    EXPECT_EQ(TAskingWindow::Current(), &onTop);
    onTop.hide();
    EXPECT_EQ(TAskingWindow::Current(), &later);
}

// A modal window joins the stay-on-top layer while a window of the program
// is in it, and leaves it again.
TEST(AskingWindow, ModalWindowsOpenAboveStayOnTopWindows)
{
    QWidget onTop(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    onTop.show();
    QDialog modal;
    modal.setModal(true);
    modal.show();
    ASSERT_TRUE(modal.windowHandle());
    EXPECT_TRUE(modal.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    modal.hide();
    onTop.hide();
    modal.show();
    EXPECT_FALSE(modal.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    QDialog modeless;
    onTop.show();
    modeless.show();
    EXPECT_FALSE(modeless.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}

} // namespace
} // namespace lumeno
