#pragma once
// The effects' random numbers: one stream per row, seeded by the run's seed
// plus the row, so a picture does not depend on how rows meet threads.

#include <cstdint>

namespace lumeno {

class TEffectRandom {
public:
    TEffectRandom(std::uint32_t Seed, int Row);
    // 0..N - 1, and 0 for N <= 0.
    int Random(int N)
    {
        if (N <= 0)
            return 0;
        FState = FState * 134775813u + 1u;
        return static_cast<int>((static_cast<std::uint64_t>(FState) * static_cast<std::uint32_t>(N)) >> 32);
    }

private:
    std::uint32_t FState;
};

// A fresh seed for each run of an effect.
std::uint32_t NewEffectSeed();

} // namespace lumeno
