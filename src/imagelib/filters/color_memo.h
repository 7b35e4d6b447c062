#pragma once
// Remembers the colours a point filter computed during one run, for filters
// whose colours cost float work: neighbouring pixels mostly repeat colours.
// The tables do not change within a run, so the results are exact.

#include <cstdint>
#include <vector>

namespace lumeno {

class TColorMemo {
public:
    // Forgets everything and remembers from now on.
    void Start()
    {
        FKeys.assign(Slots, Empty);
        FValues.resize(Slots);
        FActive = true;
    }
    void Stop()
    {
        FActive = false;
        FKeys.clear();
        FKeys.shrink_to_fit();
        FValues.clear();
        FValues.shrink_to_fit();
    }

    // Count pixels of blue, green, red bytes through MapOne(In, Out); In and
    // Out may be the same.
    template <class F> void Map(const std::uint8_t* In, std::uint8_t* Out, int Count, F&& MapOne)
    {
        if (!FActive) {
            for (int i = 0; i < Count; ++i, In += 3, Out += 3)
                MapOne(In, Out);
            return;
        }
        for (int i = 0; i < Count; ++i, In += 3, Out += 3) {
            const std::uint32_t key = In[0] | (In[1] << 8) | (In[2] << 16);
            const std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - SlotBits);
            std::uint32_t value;
            if (FKeys[slot] == key) {
                value = FValues[slot];
            } else {
                std::uint8_t out[3];
                MapOne(In, out);
                value = out[0] | (out[1] << 8) | (out[2] << 16);
                FKeys[slot] = key;
                FValues[slot] = value;
            }
            Out[0] = static_cast<std::uint8_t>(value);
            Out[1] = static_cast<std::uint8_t>(value >> 8);
            Out[2] = static_cast<std::uint8_t>(value >> 16);
        }
    }

private:
    static constexpr int SlotBits = 16;
    static constexpr std::size_t Slots = std::size_t{1} << SlotBits;
    static constexpr std::uint32_t Empty = 0xFFFFFFFFu;
    std::vector<std::uint32_t> FKeys;
    std::vector<std::uint32_t> FValues;
    bool FActive = false;
};

} // namespace lumeno
