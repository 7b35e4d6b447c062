#include "platform/qt/close_after_work.h"
#include "platform/qt/worker_task.h"
#include "support/recording_dialogs.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace lumeno {
namespace {

constexpr int kWaitMs = 10000;

void IgnoreOutcome(std::exception_ptr) {}

// A window with a task whose job runs until the test lets it end.
struct TBusyWindow {
    TBusyWindow()
    {
        Task.KeepOpen(&Window);
        Window.show();
    }
    ~TBusyWindow() { Let(); }
    void Start(bool Fail = false, TWorkerTask::TDoneEvent OnDone = IgnoreOutcome)
    {
        Released = false;
        Task.Start(
            [this, Fail](TWorkerTask::TProgress& progress) {
                while (!Released) {
                    progress.Report(0, 1);
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
                if (Fail)
                    throw std::runtime_error("disk full");
            },
            [](int) {}, std::move(OnDone));
    }
    void Let() { Released = true; }
    bool Ended()
    {
        return QTest::qWaitFor([this] { return !Task.Running(); }, kWaitMs);
    }

    QWidget Window;
    // Read by the job until the task joins it.
    std::atomic<bool> Released = true;
    TWorkerTask Task;
};

TEST(CloseAfterWork, AWindowClosedAtWorkStaysUntilTheWorkIsDone)
{
    TBusyWindow busy;
    busy.Start();
    EXPECT_FALSE(busy.Window.close());
    EXPECT_TRUE(busy.Window.isVisible());
    busy.Let();
    ASSERT_TRUE(busy.Ended());
    EXPECT_FALSE(busy.Window.isVisible());

    // Without work the close is not put off.
    busy.Window.show();
    EXPECT_TRUE(busy.Window.close());
}

TEST(CloseAfterWork, AFailedOrStoppedWorkCallsTheCloseOff)
{
    TBusyWindow busy;
    busy.Start(true);
    busy.Window.close();
    busy.Let();
    ASSERT_TRUE(busy.Ended());
    EXPECT_TRUE(busy.Window.isVisible());

    busy.Start();
    busy.Window.close();
    busy.Task.Stop();
    QTest::qWait(20);
    EXPECT_TRUE(busy.Window.isVisible());
    EXPECT_TRUE(busy.Window.close());
}

// A done-handler that failed once left the close pending, and the end of a
// later work closed the window unasked.
TEST(CloseAfterWork, AFailingDoneHandlerCallsTheCloseOff)
{
    test::RecordingDialogs shown;
    TBusyWindow busy;
    busy.Start(false, [](std::exception_ptr) { throw std::runtime_error("cannot show the result"); });
    busy.Window.close();
    busy.Let();
    ASSERT_TRUE(busy.Ended());
    EXPECT_TRUE(busy.Window.isVisible());
    ASSERT_EQ(shown.Shown().size(), 1u);
    EXPECT_EQ(shown.Shown()[0].Text, "cannot show the result");

    busy.Start();
    busy.Let();
    ASSERT_TRUE(busy.Ended());
    EXPECT_TRUE(busy.Window.isVisible());
    EXPECT_TRUE(busy.Window.close());
}

// The main window's close ends the program: it waits for every window's
// work.
TEST(CloseAfterWork, TheMainWindowWaitsForTheWorkOfEveryWindow)
{
    QWidget main;
    TCloseAfterWork quitting(&main);
    main.show();
    EXPECT_TRUE(main.close());

    TBusyWindow first, second;
    first.Start();
    second.Start();
    main.show();
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    first.Let();
    ASSERT_TRUE(first.Ended());
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(first.Window.isVisible());
    second.Let();
    ASSERT_TRUE(second.Ended());
    EXPECT_FALSE(main.isVisible());

    // A work that fails keeps the program open.
    first.Start(true);
    main.show();
    main.close();
    first.Let();
    ASSERT_TRUE(first.Ended());
    EXPECT_TRUE(main.isVisible());
}

} // namespace
} // namespace lumeno
