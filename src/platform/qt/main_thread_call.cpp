#include "platform/qt/main_thread_call.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace lumeno {

struct TMainThreadCall::TState {
    std::mutex Mutex;
    std::condition_variable Done;
    bool Cancelled = false;
};

namespace {

bool OnMainThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

TMainThreadCall::TMainThreadCall() : state_(std::make_shared<TState>()) {}

bool TMainThreadCall::Synchronize(std::function<void()> call) const
{
    if (OnMainThread()) {
        if (Cancelled())
            return false;
        call();
        return true;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto finished = std::make_shared<bool>(false);
    auto ran = std::make_shared<bool>(false);
    std::shared_ptr<TState> state = state_;
    QMetaObject::invokeMethod(
        app,
        [state, finished, ran, call = std::move(call)] {
            {
                std::lock_guard lock(state->Mutex);
                if (state->Cancelled) {
                    *finished = true;
                    state->Done.notify_all();
                    return;
                }
            }
            call();
            std::lock_guard lock(state->Mutex);
            *ran = true;
            *finished = true;
            state->Done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(state->Mutex);
    state->Done.wait(lock, [&] { return *finished || state->Cancelled; });
    return *ran;
}

void TMainThreadCall::Queue(std::function<void()> call) const
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    std::shared_ptr<TState> state = state_;
    QMetaObject::invokeMethod(
        app,
        [state, call = std::move(call)] {
            {
                std::lock_guard lock(state->Mutex);
                if (state->Cancelled)
                    return;
            }
            call();
        },
        Qt::QueuedConnection);
}

void TMainThreadCall::Cancel() const
{
    std::lock_guard lock(state_->Mutex);
    state_->Cancelled = true;
    state_->Done.notify_all();
}

bool TMainThreadCall::Cancelled() const
{
    std::lock_guard lock(state_->Mutex);
    return state_->Cancelled;
}

} // namespace lumeno
