#include "app/effects/effect_random.h"

#include <random>

namespace lumeno {

// Neighbouring rows must not start on related states, so the seed and row
// are mixed (the finaliser of splitmix64) before the generator takes over.
TEffectRandom::TEffectRandom(std::uint32_t Seed, int Row)
{
    std::uint64_t z =
        (static_cast<std::uint64_t>(Seed) << 32) + static_cast<std::uint32_t>(Row) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    FState = static_cast<std::uint32_t>(z ^ (z >> 31));
}

std::uint32_t NewEffectSeed()
{
    return std::random_device{}();
}

} // namespace lumeno
