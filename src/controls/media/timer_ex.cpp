#include "controls/media/timer_ex.h"

#include "platform/tsan_handover.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace lumeno {

// What the worker thread and its owner share. The worker never holds the
// owner itself: `owner` is cleared (under both locks) before the owner goes,
// so a tick never runs on a freed timer.
struct TTimerShared {
    std::recursive_mutex tickMutex; // held while a tick runs on the worker
    std::mutex mutex;
    std::condition_variable wake;
    TTimerEx* owner = nullptr;
    unsigned interval = 0;
    TThreadPriority priority = TThreadPriority::tpNormal;
    bool threadSafe = false;
    TNotifyEvent onTimer;
    bool suspended = true;
    bool terminated = false;
    bool tickPending = false;
    std::uint64_t generation = 0; // changes on every suspension, restarting the sleep
};

namespace {

// Linux niceness is per thread; raising priority needs privileges, and a
// refusal leaves the thread as it was.
void ApplyPriority(TThreadPriority priority)
{
    static constexpr int nice[] = {19, 10, 5, 0, -5, -10, -15};
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice[static_cast<int>(priority)]);
}

QEvent::Type TickEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// A tick for the owner's thread; Qt drops it when the owner has been freed
// in between.
struct TTickEvent : QEvent {
    explicit TTickEvent(std::shared_ptr<TTimerShared> AShared)
        : QEvent(TickEventType()), Shared(std::move(AShared))
    {
    }
    ~TTickEvent() override { TsanTakeOver(this); }
    std::shared_ptr<TTimerShared> Shared;
};

void PostTick(const std::shared_ptr<TTimerShared>& shared)
{
    auto* event = new TTickEvent(shared);
    TsanHandOver(event);
    QCoreApplication::postEvent(shared->owner, event);
}

void TickOnWorker(TTimerShared& shared)
{
    std::lock_guard tickLock(shared.tickMutex);
    TTimerEx* owner;
    TNotifyEvent handler;
    {
        std::lock_guard lock(shared.mutex);
        if (shared.suspended || shared.terminated)
            return;
        owner = shared.owner;
        handler = shared.onTimer;
    }
    if (owner && handler)
        handler(owner);
}

void WorkerBody(std::shared_ptr<TTimerShared> shared)
{
    std::unique_lock lock(shared->mutex);
    TThreadPriority applied = shared->priority;
    ApplyPriority(applied);
    while (!shared->terminated) {
        shared->wake.wait(lock, [&] { return shared->terminated || !shared->suspended; });
        if (shared->terminated)
            break;
        if (shared->priority != applied)
            ApplyPriority(applied = shared->priority);
        const std::uint64_t generation = shared->generation;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(shared->interval);
        if (shared->wake.wait_until(lock, deadline, [&] {
                return shared->terminated || shared->suspended || shared->generation != generation;
            }))
            continue;
        if (shared->threadSafe) {
            lock.unlock();
            TickOnWorker(*shared);
            lock.lock();
        } else if (shared->owner) {
            shared->tickPending = true;
            PostTick(shared);
            // Like a synchronised call: the next sleep starts once the tick ran.
            shared->wake.wait(lock, [&] { return shared->terminated || !shared->tickPending; });
        }
    }
}

} // namespace

TTimerEx::TTimerEx(QObject* parent) : QObject(parent) {}

void TTimerEx::customEvent(QEvent* event)
{
    TsanTakeOver(event);
    if (event->type() != TickEventType())
        return;
    TTimerShared& shared = *static_cast<TTickEvent*>(event)->Shared;
    bool fire = false;
    {
        std::lock_guard lock(shared.mutex);
        fire = shared.tickPending && !shared.terminated && !shared.suspended;
        shared.tickPending = false;
    }
    shared.wake.notify_all();
    if (fire && enabled_ && onTimer_)
        onTimer_(this);
}

TTimerEx::~TTimerEx()
{
    enabled_ = false;
    UpdateTimer();
    StopWorker();
}

bool TTimerEx::Running() const
{
    return interval_ != 0 && enabled_ && onTimer_;
}

void TTimerEx::SetEnabled(bool value)
{
    if (value == enabled_)
        return;
    enabled_ = value;
    UpdateTimer();
}

void TTimerEx::SetInterval(unsigned value)
{
    if (value == interval_)
        return;
    interval_ = value;
    UpdateTimer();
}

void TTimerEx::SetThreaded(bool value)
{
    if (value == threaded_)
        return;
    threaded_ = value;
    UpdateTimer();
}

void TTimerEx::SetThreadPriority(TThreadPriority value)
{
    if (value == priority_)
        return;
    priority_ = value;
    if (threaded_)
        UpdateTimer();
}

void TTimerEx::SetThreadSafe(bool value)
{
    threadSafe_ = value;
    PublishState();
}

void TTimerEx::SetOnTimer(TNotifyEvent value)
{
    onTimer_ = std::move(value);
    UpdateTimer();
}

void TTimerEx::UpdateTimer()
{
    StopMechanisms();
    SwitchMechanism();
    if (Running())
        StartMechanism();
}

void TTimerEx::StopMechanisms()
{
    if (worker_) {
        {
            std::lock_guard lock(worker_->mutex);
            worker_->suspended = true;
            ++worker_->generation;
        }
        worker_->wake.notify_all();
    }
    if (windowTimer_)
        windowTimer_->stop();
}

void TTimerEx::SwitchMechanism()
{
    if (threaded_) {
        delete windowTimer_;
        windowTimer_ = nullptr;
        if (!worker_) {
            worker_ = std::make_shared<TTimerShared>();
            worker_->owner = this;
            PublishState();
            std::thread(WorkerBody, worker_).detach();
        }
    } else {
        StopWorker();
        if (!windowTimer_) {
            windowTimer_ = new QTimer(this);
            windowTimer_->setTimerType(Qt::PreciseTimer);
            connect(windowTimer_, &QTimer::timeout, this, [this] {
                if (enabled_ && onTimer_)
                    onTimer_(this);
            });
        }
    }
}

void TTimerEx::StartMechanism()
{
    if (worker_) {
        PublishState();
        {
            std::lock_guard lock(worker_->mutex);
            worker_->suspended = false;
        }
        worker_->wake.notify_all();
        return;
    }
    if (!QAbstractEventDispatcher::instance(thread()))
        throw EOutOfResources("No More Timers Available");
    windowTimer_->start(static_cast<int>(std::min<unsigned>(interval_, INT32_MAX)));
}

// The worker ends by itself (at once, or after a tick it is running); it
// never waits on this thread, so nothing here blocks for long.
void TTimerEx::StopWorker()
{
    if (!worker_)
        return;
    std::shared_ptr<TTimerShared> shared = std::move(worker_);
    {
        std::lock_guard tickLock(shared->tickMutex);
        std::lock_guard lock(shared->mutex);
        shared->owner = nullptr;
        shared->terminated = true;
    }
    shared->wake.notify_all();
}

void TTimerEx::PublishState()
{
    if (!worker_)
        return;
    std::lock_guard lock(worker_->mutex);
    worker_->interval = interval_;
    worker_->priority = priority_;
    worker_->threadSafe = threadSafe_;
    worker_->onTimer = onTimer_;
}

} // namespace lumeno
