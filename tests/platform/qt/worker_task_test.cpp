#include "platform/qt/worker_task.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace lumeno {
namespace {

constexpr int kWaitMs = 10000;

// Holds a job until the test lets it go.
struct TLatch {
    std::atomic<bool> Open = false;
    void Wait() const
    {
        while (!Open)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

TEST(WorkerTask, JobRunsOffTheMainThreadWhileTheLoopTurnsAndReportsProgress)
{
    TWorkerTask task;
    TLatch latch;
    std::atomic<bool> onMain = true;
    int shown = -1;
    bool done = false;
    std::exception_ptr error;
    ASSERT_TRUE(task.Start(
        [&](TWorkerTask::TProgress& progress) {
            onMain = QThread::currentThread() == QCoreApplication::instance()->thread();
            progress.Report(1, 4);
            latch.Wait();
        },
        [&](int percent) { shown = percent; },
        [&](std::exception_ptr e) {
            done = true;
            error = e;
        }));
    EXPECT_TRUE(task.Running());
    EXPECT_FALSE(task.Start([](TWorkerTask::TProgress&) {}, [](int) {}, [](std::exception_ptr) {}));
    // The progress timer fires through the main loop while the job waits.
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 25; }, kWaitMs));
    EXPECT_FALSE(done);
    latch.Open = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_FALSE(onMain);
    EXPECT_FALSE(error);
    EXPECT_FALSE(task.Running());
}

TEST(WorkerTask, FailureReachesTheOwnerAndAStartedTaskCanRunAgain)
{
    TWorkerTask task;
    std::exception_ptr error;
    int runs = 0;
    const auto fail = [](TWorkerTask::TProgress&) { throw std::runtime_error("disk full"); };
    const auto onDone = [&](std::exception_ptr e) {
        ++runs;
        error = e;
    };
    ASSERT_TRUE(task.Start(
        fail, [](int) {}, onDone));
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs == 1; }, kWaitMs));
    ASSERT_TRUE(error);
    EXPECT_THROW(std::rethrow_exception(error), std::runtime_error);
    ASSERT_TRUE(task.Start([](TWorkerTask::TProgress&) {}, [](int) {}, onDone));
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs == 2; }, kWaitMs));
    EXPECT_FALSE(error);
}

TEST(WorkerTask, StopEndsTheJobAtItsNextReportAndDropsItsOutcome)
{
    TWorkerTask task;
    TLatch latch;
    std::atomic<bool> started = false;
    std::atomic<bool> stoppedInJob = false;
    bool done = false;
    ASSERT_TRUE(task.Start(
        [&](TWorkerTask::TProgress& progress) {
            started = true;
            latch.Wait();
            try {
                progress.Report(2, 3);
            } catch (const EWorkStopped&) {
                stoppedInJob = true;
                throw;
            }
        },
        [](int) {}, [&](std::exception_ptr) { done = true; }));
    for (int i = 0; i < kWaitMs && !started; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // Stop waits for the job, which is let go only once the stop is asked.
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        latch.Open = true;
    });
    task.Stop();
    opener.join();
    EXPECT_TRUE(stoppedInJob);
    EXPECT_FALSE(task.Running());
    QTest::qWait(50);
    EXPECT_FALSE(done);
}

TEST(WorkerTask, SynchronizeRunsOnTheMainThreadAndGivesUpOnStop)
{
    TWorkerTask task;
    std::atomic<bool> ranOnMain = false;
    bool done = false;
    ASSERT_TRUE(task.Start(
        [&](TWorkerTask::TProgress& progress) {
            progress.Synchronize(
                [&] { ranOnMain = QThread::currentThread() == QCoreApplication::instance()->thread(); });
        },
        [](int) {}, [&](std::exception_ptr) { done = true; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kWaitMs));
    EXPECT_TRUE(ranOnMain);

    // A job waiting for the main thread, which never gets to the call.
    std::atomic<bool> waiting = false;
    std::atomic<bool> ran = false;
    std::atomic<bool> stopped = false;
    ASSERT_TRUE(task.Start(
        [&](TWorkerTask::TProgress& progress) {
            waiting = true;
            try {
                progress.Synchronize([&] { ran = true; });
            } catch (const EWorkStopped&) {
                stopped = true;
            }
        },
        [](int) {}, [](std::exception_ptr) {}));
    for (int i = 0; i < kWaitMs && !waiting; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    task.Stop();
    QTest::qWait(20);
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace lumeno
