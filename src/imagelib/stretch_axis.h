#pragma once
// Where each destination column (or row) of a resampling takes its source
// pixels from, and with which integer weights. Built once per call.

#include "imagelib/pixel_graphic.h"

#include <cstdint>
#include <vector>

namespace lumeno {

struct TStretchEntry {
    int First = 0; // first and last source pixel
    int Last = 0;
    int WeightFirst = 1;
    int WeightLast = 0;
    // 0 one pixel, 1 two pixels, 2 a run (the pixels between weigh Middle)
    std::uint8_t Kind = 0;
    bool Valid = false;
};

class TStretchAxis {
public:
    // Destination positions From .. To (relative to the destination start,
    // inclusive) of DestLength resampled from SourceLength pixels starting at
    // SourceOffset of an image SourceLimit pixels long.
    TStretchAxis(TStretchMode Mode, int DestLength, int SourceOffset, int SourceLength, int SourceLimit,
                 int From, int To);

    const TStretchEntry& At(int d) const { return FEntries[static_cast<std::size_t>(d - FFrom)]; }
    int Total() const { return FTotal; }
    int Middle() const { return FMiddle; }
    // Largest number of source pixels one valid entry spans.
    int MaxSpan() const { return FMaxSpan; }

private:
    TStretchEntry Single(std::int64_t d, int S, int D, int O) const;
    TStretchEntry Interpolated(std::int64_t d, int S, int D, int O, bool Growing) const;
    TStretchEntry Averaged(std::int64_t d, int S, int D, int O) const;

    int FFrom;
    int FTotal = 1;
    int FMiddle = 0;
    int FMaxSpan = 0;
    std::vector<TStretchEntry> FEntries;
};

} // namespace lumeno
