#include "imagelib/stretch_axis.h"

namespace lumeno {

namespace {

TStretchEntry Pair(int lo, int hi, std::int64_t wlo, std::int64_t whi, int total)
{
    TStretchEntry e;
    e.First = lo;
    e.Last = hi;
    if (lo == hi) {
        e.WeightFirst = total;
        e.Kind = 0;
    } else {
        e.WeightFirst = static_cast<int>(wlo);
        e.WeightLast = static_cast<int>(whi);
        e.Kind = hi == lo + 1 ? 1 : 2;
    }
    return e;
}

} // namespace

TStretchAxis::TStretchAxis(TStretchMode Mode, int DestLength, int SourceOffset, int SourceLength,
                           int SourceLimit, int From, int To)
    : FFrom(From)
{
    const int S = SourceLength, D = DestLength, O = SourceOffset;
    enum { OnePixel, Interpolate, Average } method = OnePixel;
    if (Mode != smFast && S != D) {
        const bool shrinking = D < S;
        if (Mode == smMedium)
            method = shrinking ? Interpolate : Average;
        else
            method = shrinking ? Average : Interpolate;
    }
    if (method == Interpolate)
        FTotal = 2 * D;
    else if (method == Average) {
        FTotal = S;
        FMiddle = D;
    }
    if (To >= From)
        FEntries.reserve(static_cast<std::size_t>(To - From + 1));
    for (int d = From; d <= To; ++d) {
        TStretchEntry e = method == OnePixel      ? Single(d, S, D, O)
                          : method == Interpolate ? Interpolated(d, S, D, O, D > S)
                                                  : Averaged(d, S, D, O);
        e.Valid = e.First >= 0 && e.Last < SourceLimit && e.First <= e.Last;
        if (e.Valid && e.Last - e.First + 1 > FMaxSpan)
            FMaxSpan = e.Last - e.First + 1;
        FEntries.push_back(e);
    }
}

TStretchEntry TStretchAxis::Single(std::int64_t d, int S, int D, int O) const
{
    const int p = static_cast<int>(O + d * S / D);
    return Pair(p, p, 1, 0, 1);
}

// The two source pixels whose centres enclose the destination pixel's centre.
TStretchEntry TStretchAxis::Interpolated(std::int64_t d, int S, int D, int O, bool Growing) const
{
    const std::int64_t centre = 2 * d * S + S; // in units of 1 / 2D source pixels
    const std::int64_t D2 = 2 * static_cast<std::int64_t>(D);
    std::int64_t lo = (centre - D) / D2 + O;
    std::int64_t hi = (centre + D) / D2 + O;
    if (Growing) {
        // The outermost destination pixels lean on the edge pixel alone.
        if (lo < O)
            lo = O;
        if (hi > O + S - 1)
            hi = O + S - 1;
    }
    const std::int64_t wlo = (lo - O) * D2 + 3 * D - centre;
    const std::int64_t whi = D - (hi - O) * D2 + centre;
    if (whi == 0 || lo >= hi)
        return Pair(static_cast<int>(lo), static_cast<int>(lo), 0, 0, FTotal);
    return Pair(static_cast<int>(lo), static_cast<int>(hi), wlo, whi, FTotal);
}

// Every source pixel the destination pixel covers, weighted by the part covered.
TStretchEntry TStretchAxis::Averaged(std::int64_t d, int S, int D, int O) const
{
    const std::int64_t lo = d * S / D + O;
    std::int64_t hi = (d + 1) * S / D + O;
    if ((d + 1) * S % D == 0)
        --hi;
    const std::int64_t wlo = (lo - O + 1) * D - d * S;
    const std::int64_t whi = (d + 1) * S - (hi - O) * D;
    return Pair(static_cast<int>(lo), static_cast<int>(hi), wlo, whi, FTotal);
}

} // namespace lumeno
