#pragma once
// Exact unsigned division of 32-bit values by a divisor fixed for a whole
// loop, as one multiplication (Lemire, Kaser and Kurz, 2019).

#include <cstdint>

namespace lumeno {

class TFastDivider {
public:
    explicit TFastDivider(std::uint32_t Divisor = 1)
        : FDivisor(Divisor), FMagic(Divisor > 1 ? UINT64_MAX / Divisor + 1 : 0)
    {
    }
    std::uint32_t operator()(std::uint32_t n) const
    {
        if (FDivisor == 1)
            return n;
        return static_cast<std::uint32_t>((static_cast<unsigned __int128>(FMagic) * n) >> 64);
    }
    std::uint32_t Divisor() const { return FDivisor; }

private:
    std::uint32_t FDivisor;
    std::uint64_t FMagic;
};

} // namespace lumeno
