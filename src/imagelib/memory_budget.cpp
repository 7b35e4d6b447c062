#include "imagelib/memory_budget.h"

#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <unistd.h>

namespace lumeno {

struct TMemoryBudget::TState {
    std::mutex Lock;
    std::condition_variable Changed;
    std::int64_t Used = 0;
    int Holders = 0;
    int WaitingHolders = 0;
};

namespace {

// A stop is a flag set elsewhere, so a wait looks at it this often.
constexpr std::chrono::milliseconds StopPoll{20};

thread_local TMemoryBudgetScope* tScope = nullptr;

std::int64_t QuarterOfMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return std::int64_t{1} << 30;
    return std::int64_t{pages} * pageSize / 4;
}

} // namespace

TMemoryBudget::TMemoryBudget(std::int64_t Capacity) : capacity_(Capacity), state_(std::make_unique<TState>())
{
}

TMemoryBudget::~TMemoryBudget() = default;

std::int64_t TMemoryBudget::Used() const
{
    const std::lock_guard lock(state_->Lock);
    return state_->Used;
}

bool TMemoryBudget::Draw(TBudgetCharge& Charge, std::int64_t Size)
{
    if (Size <= 0)
        return true;
    TState& s = *state_;
    std::unique_lock lock(s.Lock);
    const bool holding = Charge.Held > 0;
    bool waiting = false;
    bool granted = true;
    while (s.Used + Size > Capacity()) {
        // Below zero when a waiting holder's blocks were all freed elsewhere:
        // it still counts as waiting but no longer as a holder.
        const int othersAtWork = s.Holders - s.WaitingHolders - (holding && !waiting ? 1 : 0);
        if (Size > Capacity() || (holding && othersAtWork <= 0) || (Charge.Stopped && Charge.Stopped())) {
            granted = false;
            break;
        }
        if (holding && !waiting) {
            waiting = true;
            ++s.WaitingHolders;
            // Another waiting holder may now be the last at work.
            s.Changed.notify_all();
        }
        s.Changed.wait_for(lock, StopPoll);
    }
    s.WaitingHolders -= waiting ? 1 : 0;
    if (!granted)
        return false;
    s.Holders += Charge.Held == 0 ? 1 : 0;
    Charge.Held += Size;
    s.Used += Size;
    return true;
}

void TMemoryBudget::Refund(TBudgetCharge& Charge, std::int64_t Size)
{
    if (Size <= 0)
        return;
    TState& s = *state_;
    const std::lock_guard lock(s.Lock);
    if (!Charge.Open)
        return;
    Charge.Held -= Size;
    s.Used -= Size;
    s.Holders -= Charge.Held == 0 ? 1 : 0;
    s.Changed.notify_all();
}

void TMemoryBudget::Close(TBudgetCharge& Charge)
{
    TState& s = *state_;
    const std::lock_guard lock(s.Lock);
    s.Used -= Charge.Held;
    s.Holders -= Charge.Held > 0 ? 1 : 0;
    Charge.Held = 0;
    Charge.Open = false;
    s.Changed.notify_all();
}

TMemoryBudget& BackgroundMemoryBudget()
{
    // Never destroyed: a worker's blocks may be freed during static ends.
    static TMemoryBudget* budget = new TMemoryBudget(QuarterOfMemory());
    return *budget;
}

TMemoryBudgetScope::TMemoryBudgetScope(TMemoryBudget& Budget, std::function<bool()> Stopped)
    : charge_(std::make_shared<TBudgetCharge>(TBudgetCharge{Budget, std::move(Stopped)})), outer_(tScope)
{
    tScope = this;
}

TMemoryBudgetScope::~TMemoryBudgetScope()
{
    charge_->Budget.Close(*charge_);
    tScope = outer_;
}

std::shared_ptr<TBudgetCharge> ThreadBudgetCharge()
{
    return tScope ? tScope->charge_ : nullptr;
}

std::int64_t ThreadBudgetCapacity()
{
    return tScope ? tScope->charge_->Budget.Capacity() : std::numeric_limits<std::int64_t>::max();
}

TMemoryReservation::TMemoryReservation(std::int64_t Size) : charge_(ThreadBudgetCharge()), size_(Size)
{
    if (charge_)
        held_ = charge_->Budget.Draw(*charge_, size_);
}

TMemoryReservation::~TMemoryReservation()
{
    if (charge_ && held_)
        charge_->Budget.Refund(*charge_, size_);
}

} // namespace lumeno
