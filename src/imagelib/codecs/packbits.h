#pragma once
// PackBits run-length coding of single rows, as TIFF compression 32773 uses.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumeno {

// Upper bound of the encoded size of a row of Count bytes.
constexpr std::size_t PackBitsWorstCase(std::size_t Count)
{
    return 2 * Count + 1;
}

// Encodes one row into Dest (at least PackBitsWorstCase(Count) bytes) and
// returns the bytes written. A pair of equal bytes next to a literal byte is
// sent as literals, which is never longer. Runs holds scratch space.
std::size_t PackBitsEncodeRow(const std::uint8_t* Source, std::size_t Count, std::uint8_t* Dest,
                              std::vector<int>& Runs);

// Decodes one row of RowSize bytes from In, which offers
// bool Byte(std::uint8_t&) and bool Bytes(std::uint8_t*, std::size_t), each
// false at the end of its data. False when a run would overrun the row or
// the data end first; nothing is written outside the row.
template <class TSource>
bool PackBitsDecodeRow(TSource& In, std::uint8_t* Row, std::size_t RowSize)
{
    std::size_t x = 0;
    while (x < RowSize) {
        std::uint8_t header = 0;
        if (!In.Byte(header))
            return false;
        const auto n = static_cast<std::int8_t>(header);
        if (n >= 0) {
            const std::size_t k = static_cast<std::size_t>(n) + 1;
            if (k > RowSize - x || !In.Bytes(Row + x, k))
                return false;
            x += k;
        } else if (n != -128) {
            const std::size_t k = static_cast<std::size_t>(1 - n);
            std::uint8_t value = 0;
            if (k > RowSize - x || !In.Byte(value))
                return false;
            std::memset(Row + x, value, k);
            x += k;
        }
    }
    return true;
}

// PackBits codes held in memory.
class TPackBitsMemorySource {
public:
    TPackBitsMemorySource(const std::uint8_t* Data, std::size_t Size) : next_(Data), end_(Data + Size) {}
    bool Byte(std::uint8_t& Value)
    {
        if (next_ == end_)
            return Exhausted();
        Value = *next_++;
        return true;
    }
    bool Bytes(std::uint8_t* Dest, std::size_t Count)
    {
        if (static_cast<std::size_t>(end_ - next_) < Count)
            return Exhausted();
        std::memcpy(Dest, next_, Count);
        next_ += Count;
        return true;
    }
    // The data ran out (rather than a run overrunning its row).
    bool Ended() const { return ended_; }

private:
    bool Exhausted()
    {
        ended_ = true;
        return false;
    }
    const std::uint8_t* next_;
    const std::uint8_t* end_;
    bool ended_ = false;
};

} // namespace lumeno
