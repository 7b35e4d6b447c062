#include "platform/qt/in_order_pool.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <map>

namespace lumeno {

namespace {
constexpr int kHoldRetryMs = 100;
}

// Shared so that a hand-over or OnDone may destroy the pool: every call
// from the event loop holds the state until it returns.
struct TInOrderPool::TState : std::enable_shared_from_this<TState> {
    int Count = 0;
    int Ahead = 1;
    TDoneEvent OnDone;
    THoldEvent Hold;
    std::map<int, std::function<void()>> Arrived;
    int Next = 0;
    bool Running = false;
    bool Delivering = false;
    bool RetryPending = false;
    // Owns the timers, so none fires after the state is gone.
    QObject Timers;
    std::unique_ptr<TWorkerPool> Pool;

    void Arrive(int index, std::function<void()> handOver);
    void Deliver();
    void RetryLater();
    void Finish();
    void Stop();
};

void TInOrderPool::TState::Arrive(int index, std::function<void()> handOver)
{
    Arrived.emplace(index, std::move(handOver));
    Deliver();
}

void TInOrderPool::TState::Deliver()
{
    // A hand-over that shows a message box lets later results arrive; the
    // outer call hands them over once the box is closed.
    if (Delivering || !Running)
        return;
    if (Hold && Hold()) {
        RetryLater();
        return;
    }
    Delivering = true;
    while (Running) {
        const auto next = Arrived.find(Next);
        if (next == Arrived.end())
            break;
        const std::function<void()> handOver = std::move(next->second);
        Arrived.erase(next);
        handOver();
        if (!Running)
            break;
        if (++Next == Count) {
            Finish();
            break;
        }
        Pool->SetLimit(Next + Ahead);
    }
    Delivering = false;
}

void TInOrderPool::TState::RetryLater()
{
    if (RetryPending)
        return;
    RetryPending = true;
    QTimer::singleShot(kHoldRetryMs, &Timers, [weak = weak_from_this()] {
        if (const std::shared_ptr<TState> state = weak.lock()) {
            state->RetryPending = false;
            state->Deliver();
        }
    });
}

void TInOrderPool::TState::Finish()
{
    Stop();
    if (OnDone)
        OnDone();
}

void TInOrderPool::TState::Stop()
{
    Running = false;
    Arrived.clear();
    Pool->Stop();
}

TInOrderPool::TInOrderPool(int count, TJob job, TDoneEvent onDone, THoldEvent hold)
    : state_(std::make_shared<TState>())
{
    state_->Count = std::max(count, 0);
    state_->OnDone = std::move(onDone);
    state_->Hold = std::move(hold);
    state_->Pool = std::make_unique<TWorkerPool>(
        state_->Count,
        [weak = std::weak_ptr(state_), job = std::move(job)](int index) -> std::function<void()> {
            return [weak, index, handOver = job(index)]() mutable {
                if (const std::shared_ptr<TState> state = weak.lock())
                    state->Arrive(index, std::move(handOver));
            };
        });
}

TInOrderPool::~TInOrderPool()
{
    Stop();
}

void TInOrderPool::Start(int threadCount, int ahead)
{
    TState& state = *state_;
    state.Running = true;
    state.Ahead = std::max(ahead, 1);
    if (state.Count > 0) {
        state.Pool->Start(threadCount, state.Ahead);
        return;
    }
    QTimer::singleShot(0, &state.Timers, [weak = state.weak_from_this()] {
        const std::shared_ptr<TState> held = weak.lock();
        if (held && held->Running)
            held->Finish();
    });
}

void TInOrderPool::Stop()
{
    state_->Stop();
}

bool TInOrderPool::Running() const
{
    return state_->Running;
}

} // namespace lumeno
