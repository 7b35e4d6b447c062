#pragma once
// The program's windows on a private X server under openbox: where the
// window manager stacks and places them. Boxes are real message boxes; a
// test looks at each one once the manager holds it, then closes it.

#include "app/common/settings_store.h"
#include "app/viewer/main_window.h"
#include "app/viewer/main_window_desktop_links.h"
#include "app/viewer/main_window_links.h"
#include "imagelib/pg_startup_qt.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/registry/registry.h"
#include "support/test_env.h"
#include "support/x_desktop_x11.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace lumeno::test {

// What a modal window was like once the window manager held it.
struct ModalSeen {
    bool Seen = false;
    bool AboveTheProgram = false; // above every other shown window of the program
    std::string Text;             // a message box's text
    QPointer<QWidget> Owner;      // the window it belongs to
    QRect Frame;                  // on the screen, frame included
};

// Looks at every modal window that opens while it lives, once the window
// manager holds it above the program's other windows (or 10 s have passed),
// and closes it, answering nothing.
class ModalWatch {
public:
    ModalWatch()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(20);
    }

    // Waits until Count windows were looked at.
    bool WaitFor(std::size_t Count)
    {
        return QTest::qWaitFor([this, Count] { return Seen.size() >= Count; }, 12000);
    }

    std::vector<ModalSeen> Seen;

private:
    void Look();

    QTimer timer_;
    QPointer<QWidget> current_;
    QElapsedTimer since_;
};

class OnScreenTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { PGStartupAllFormats(); }

    void SetUp() override
    {
        if (!TheXDesktop())
            GTEST_SKIP() << "needs Xvfb and openbox";
        SetRegistryFolder(registry_.Path().string());
        SetDialogs(&dialogs_);
    }

    void TearDown() override
    {
        FreeForm1();
        SetDialogs(nullptr);
        SetRegistryFolder("");
    }

    // The main window on the folder of pictures, wired to the other windows
    // as at start-up.
    TForm1& ShowMainWindow()
    {
        Store("Directory", pics_.Path().string());
        CreateForm1();
        TForm1& form = *Form1();
        LinkMainWindow(form);
        LinkDesktopWindows(form);
        form.show();
        EXPECT_TRUE(WaitHeld(&form));
        return form;
    }

    void Picture(const std::string& name, int w = 64, int h = 48)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(QString::fromStdString(pics_.File(name))));
    }

    void Store(const std::string& name, const std::string& value) { TSettingsStore().WriteSetting(name, value); }

    // The window's place in the manager's stack, bottom first; -1 while the
    // manager does not hold it.
    static int Level(QWidget* window)
    {
        const QWindow* handle = window->windowHandle();
        if (!handle)
            return -1;
        const std::vector<unsigned long> stack = TheXDesktop()->Stacking();
        const auto at = std::find(stack.begin(), stack.end(), static_cast<unsigned long>(handle->winId()));
        return at == stack.end() ? -1 : int(at - stack.begin());
    }

    // The manager holds the window and has framed it.
    static bool Held(QWidget* window)
    {
        return window->isVisible() && Level(window) >= 0 && window->frameGeometry() != window->geometry();
    }

    static bool WaitHeld(QWidget* window)
    {
        return QTest::qWaitFor([window] { return Held(window); }, 10000);
    }

    // The manager may still move or restack a window it has just framed.
    static bool Eventually(const std::function<bool()>& Holds) { return QTest::qWaitFor(Holds, 5000); }

    static bool AboveTheOthers(QWidget* window)
    {
        const int level = Level(window);
        for (QWidget* other : QApplication::topLevelWidgets()) {
            if (other == window || !other->isVisible() || other->windowType() == Qt::Popup ||
                other->windowType() == Qt::ToolTip)
                continue;
            if (Level(other) >= level)
                return false;
        }
        return true;
    }

protected:
    // The frame is on the screen and over or beside Owner's frame.
    static bool OverOrBeside(const QRect& Frame, QWidget* Owner)
    {
        const QRect screen = Owner->screen()->availableGeometry();
        const QRect owner = Owner->frameGeometry();
        const bool sideBySide = (Frame.left() == owner.right() + 1 || Frame.right() + 1 == owner.left()) &&
                                Frame.top() <= owner.bottom() && Frame.bottom() >= owner.top();
        return screen.contains(Frame) && (Frame.intersects(owner) || sideBySide);
    }

    TempDir registry_;
    TempDir pics_;
    TQtDialogs dialogs_;
};

inline void ModalWatch::Look()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (modal != current_) {
        current_ = modal;
        since_.start();
    }
    // The manager may restack it just after framing it: it has until the
    // time is up to come above the others.
    const bool held = OnScreenTest::Held(modal);
    const bool above = held && OnScreenTest::AboveTheOthers(modal);
    if (!above && !since_.hasExpired(10000))
        return;
    ModalSeen seen;
    seen.Seen = held;
    seen.AboveTheProgram = above;
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        seen.Text = box->text().toStdString();
    seen.Owner = modal->parentWidget() ? modal->parentWidget()->window() : nullptr;
    seen.Frame = modal->frameGeometry();
    Seen.push_back(seen);
    current_ = nullptr;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

} // namespace lumeno::test
