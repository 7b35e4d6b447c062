#pragma once
// The background readers' memory budget lowered for one test, so that small
// pictures show what large ones do.

#include "imagelib/memory_budget.h"

#include <cstdint>

namespace lumeno::test {

class TBackgroundBudget {
public:
    explicit TBackgroundBudget(std::int64_t capacity) : saved_(BackgroundMemoryBudget().Capacity())
    {
        BackgroundMemoryBudget().SetCapacity(capacity);
    }
    ~TBackgroundBudget() { BackgroundMemoryBudget().SetCapacity(saved_); }
    TBackgroundBudget(const TBackgroundBudget&) = delete;
    TBackgroundBudget& operator=(const TBackgroundBudget&) = delete;

private:
    std::int64_t saved_;
};

} // namespace lumeno::test
