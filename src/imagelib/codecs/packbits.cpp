#include "imagelib/codecs/packbits.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

namespace {

constexpr std::size_t MaxChunk = 128;

// Runs[i] = length of the run of equal bytes that position i belongs to.
void MeasureRuns(const std::uint8_t* s, std::size_t n, std::vector<int>& runs)
{
    runs.resize(n);
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = i + 1;
        while (j < n && s[j] == s[i])
            ++j;
        std::fill(runs.begin() + static_cast<std::ptrdiff_t>(i),
                  runs.begin() + static_cast<std::ptrdiff_t>(j), static_cast<int>(j - i));
        i = j;
    }
}

// A pair costs two bytes as a run and at most two within a literal chunk,
// so pairs that touch a literal join it.
void MergePairsIntoLiterals(std::vector<int>& runs)
{
    const std::size_t n = runs.size();
    for (std::size_t i = 1; i + 1 < n; ++i)
        if (runs[i] == 2 && runs[i - 1] == 1)
            runs[i] = runs[i + 1] = 1;
    for (std::size_t i = n - 1; i >= 2 && i < n; --i)
        if (runs[i] == 1 && runs[i - 1] == 2)
            runs[i - 1] = runs[i - 2] = 1;
}

} // namespace

std::size_t PackBitsEncodeRow(const std::uint8_t* Source, std::size_t Count, std::uint8_t* Dest,
                              std::vector<int>& Runs)
{
    if (Count == 0)
        return 0;
    MeasureRuns(Source, Count, Runs);
    MergePairsIntoLiterals(Runs);
    std::uint8_t* out = Dest;
    std::size_t i = 0;
    while (i < Count) {
        std::size_t j = i + 1;
        if (Runs[i] == 1) {
            while (j < Count && j - i < MaxChunk && Runs[j] == 1)
                ++j;
            *out++ = static_cast<std::uint8_t>(j - i - 1);
            std::memcpy(out, Source + i, j - i);
            out += j - i;
        } else {
            while (j < Count && j - i < MaxChunk && Runs[j] != 1 && Source[j] == Source[i])
                ++j;
            *out++ = static_cast<std::uint8_t>(-static_cast<int>(j - i - 1));
            *out++ = Source[i];
        }
        i = j;
    }
    return static_cast<std::size_t>(out - Dest);
}

} // namespace lumeno
