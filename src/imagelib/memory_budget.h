#pragma once
// A share of memory that background readers draw on together, so that a few
// large pictures decoded at once on every core cannot run the machine out of
// memory. A thread joins a budget with a TMemoryBudgetScope; the pixel memory
// it allocates meanwhile (its large blocks), and what its readers reserve for
// their own buffers, count against the budget until freed or until the scope
// ends.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace lumeno {

class TMemoryBudget;

// What one scope drew from its budget, shared with the blocks it paid for;
// its fields are the budget's, under the budget's lock.
struct TBudgetCharge {
    TMemoryBudget& Budget;
    std::function<bool()> Stopped;
    std::int64_t Held = 0;
    bool Open = true;
};

class TMemoryBudget {
public:
    explicit TMemoryBudget(std::int64_t Capacity);
    // Outlives every scope and block charged to it.
    ~TMemoryBudget();
    TMemoryBudget(const TMemoryBudget&) = delete;
    TMemoryBudget& operator=(const TMemoryBudget&) = delete;

    std::int64_t Capacity() const { return capacity_; }
    // Lowered for the tests, as ImageSizeLimit is for the fuzz targets.
    void SetCapacity(std::int64_t Value) { capacity_ = Value; }
    std::int64_t Used() const;

    // Size more bytes for Charge. When they do not fit, a scope that holds
    // nothing waits for the others to give back; one that already holds
    // memory waits only while another holder is still at work (were all
    // holders waiting, none would ever give back). False at once when Size
    // can never fit, and when the wait is refused or stopped.
    bool Draw(TBudgetCharge& Charge, std::int64_t Size);
    // Size bytes back, unless the charge's scope ended and gave back all.
    void Refund(TBudgetCharge& Charge, std::int64_t Size);
    // The scope ends: everything it still holds goes back.
    void Close(TBudgetCharge& Charge);

private:
    struct TState;
    std::atomic<std::int64_t> capacity_;
    std::unique_ptr<TState> state_;
};

// The budget of the thumbnail workers and the read-ahead: a quarter of the
// machine's memory.
TMemoryBudget& BackgroundMemoryBudget();

// While alive, this thread's pixel memory and reservations draw on Budget.
// Stopped, when given, ends a wait (the allocation is then refused); it is
// asked from this thread only.
class TMemoryBudgetScope {
public:
    explicit TMemoryBudgetScope(TMemoryBudget& Budget, std::function<bool()> Stopped = {});
    ~TMemoryBudgetScope();
    TMemoryBudgetScope(const TMemoryBudgetScope&) = delete;
    TMemoryBudgetScope& operator=(const TMemoryBudgetScope&) = delete;

private:
    friend std::shared_ptr<TBudgetCharge> ThreadBudgetCharge();
    friend std::int64_t ThreadBudgetCapacity();

    std::shared_ptr<TBudgetCharge> charge_;
    TMemoryBudgetScope* outer_;
};

// The charge of this thread's innermost scope; empty outside any.
std::shared_ptr<TBudgetCharge> ThreadBudgetCharge();
// The most memory one allocation of this thread may ever get: its budget's
// capacity, unbounded outside a scope.
std::int64_t ThreadBudgetCapacity();

// Memory a reader is about to take outside the pixel blocks (a decoding
// library's own buffers), drawn from this thread's budget while the
// reservation lives. Outside a scope it is always held.
class TMemoryReservation {
public:
    explicit TMemoryReservation(std::int64_t Size);
    ~TMemoryReservation();
    TMemoryReservation(const TMemoryReservation&) = delete;
    TMemoryReservation& operator=(const TMemoryReservation&) = delete;

    bool Held() const { return held_; }

private:
    std::shared_ptr<TBudgetCharge> charge_;
    std::int64_t size_;
    bool held_ = true;
};

} // namespace lumeno
