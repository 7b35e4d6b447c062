#include "imagelib/filters/conv_filter.h"

#include "imagelib/color_row_reader.h"
#include "imagelib/filters/color_models.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_helpers.h"
#include "imagelib/pg_messages.h"
#include "platform/vectorise.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lumeno {

namespace {

constexpr int MaxKernelSize = 99;

[[noreturn]] void OutOfRange(const char* What)
{
    throw EPGConvFilter(GetPGLangStrS1(41, What));
}

// Recipes divide by these: zero, negative or non-finite values are refused.
void CheckPositive(Extended Value, const char* What)
{
    if (!(Value > 0) || !std::isfinite(Value))
        OutOfRange(What);
}

// A new kernel side, refused outside 1..MaxKernelSize; true when it changed.
bool ChangeSide(int& Side, int Value, const char* What)
{
    if (Value < 1 || Value > MaxKernelSize)
        OutOfRange(What);
    if (Value == Side)
        return false;
    Side = Value;
    return true;
}

// A centred square kernel under construction.
struct TSquareKernel {
    int Size = 1;
    std::vector<std::int32_t> Cells;

    explicit TSquareKernel(int ASize) : Size(ASize), Cells(static_cast<std::size_t>(ASize) * ASize, 0) {}
    std::int32_t& At(int X, int Y) { return Cells[static_cast<std::size_t>(Y) * Size + X]; }
    std::int32_t& Centre() { return At(Size / 2, Size / 2); }
    std::int64_t Sum() const
    {
        std::int64_t s = 0;
        for (const std::int32_t k : Cells)
            s += k;
        return s;
    }
    void Negate()
    {
        for (std::int32_t& k : Cells)
            k = -k;
    }
    // A new centre weight; one that no longer fits a cell is refused.
    void SetCentre(std::int64_t Value, const char* What)
    {
        if (Value < std::numeric_limits<std::int32_t>::min() ||
            Value > std::numeric_limits<std::int32_t>::max())
            OutOfRange(What);
        Centre() = static_cast<std::int32_t>(Value);
    }
};

// A distribution of unit area and variance StdDev squared.
class TDistribution {
public:
    TDistribution(TDistributionShape Shape, Extended StdDev) : FShape(Shape), FS(StdDev) {}

    Extended operator()(Extended X) const
    {
        const Extended x = std::fabs(X);
        switch (FShape) {
        case dsGaussian:
            return std::exp(-X * X / (2 * FS * FS)) / (FS * std::sqrt(2 * std::numbers::pi_v<Extended>));
        case dsTent: {
            const Extended w = FS * std::sqrt(6.0L);
            return x <= w ? 1 / w - x / (w * w) : 0;
        }
        default: {
            const Extended w = FS * std::sqrt(3.0L);
            return x <= w ? 1 / (2 * w) : 0;
        }
        }
    }

private:
    TDistributionShape FShape;
    Extended FS;
};

// Round of a weight term that must fit a kernel cell.
std::int64_t RoundTerm(Extended Value, const char* What)
{
    if (!(std::fabs(Value) <= std::numeric_limits<std::int32_t>::max()))
        OutOfRange(What);
    return Round(Value);
}

TSquareKernel DistributionKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev)
{
    CheckPositive(StdDev, "StdDev");
    const TDistribution d(Shape, StdDev);
    const auto weight = [&](int dx, int dy) {
        return UseDistance ? d(std::sqrt(static_cast<Extended>(dx * dx + dy * dy))) : d(dx) * d(dy);
    };
    // Half-sizes beyond the largest kernel stop the search: the size check
    // below refuses them.
    constexpr int stop = MaxKernelSize / 2 + 1;
    int r = 0;
    if (Shape == dsRect) {
        while (r <= stop && d(r) > 0)
            ++r;
    } else {
        const Extended c = UseDistance ? 16 / d(0) : 16 / (d(0) * d(0));
        if (!std::isfinite(c) || !(c > 0))
            OutOfRange("StdDev");
        while (r <= stop && Round(weight(r, 0) * c) > 0)
            ++r;
        --r;
        if (2 * r + 1 > MaxKernelSize)
            OutOfRange("TConvFilter.Width");
        TSquareKernel k(2 * r + 1);
        for (int y = 0; y < k.Size; ++y)
            for (int x = 0; x < k.Size; ++x)
                k.At(x, y) = static_cast<std::int32_t>(UseDistance ? Round(weight(x - r, y - r) * c)
                                                                   : Round((d(x - r) * c) * d(y - r)));
        return k;
    }
    --r;
    if (2 * r + 1 > MaxKernelSize)
        OutOfRange("TConvFilter.Width");
    TSquareKernel k(2 * r + 1);
    for (int y = 0; y < k.Size; ++y)
        for (int x = 0; x < k.Size; ++x)
            k.At(x, y) = weight(x - r, y - r) > 0 ? 1 : 0;
    return k;
}

// The distribution kernel for a recipe that divides by Percent.
TSquareKernel PercentKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev, Extended Percent)
{
    CheckPositive(Percent, "Percent");
    return DistributionKernel(Shape, UseDistance, StdDev);
}

} // namespace

TConvFilter::TConvFilter() : FKernel{1} {}

void TConvFilter::SetWidth(int Value)
{
    if (ChangeSide(FWidth, Value, "TConvFilter.Width"))
        FKernel.assign(static_cast<std::size_t>(FWidth) * FHeight, 0);
}

void TConvFilter::SetHeight(int Value)
{
    if (ChangeSide(FHeight, Value, "TConvFilter.Height"))
        FKernel.assign(static_cast<std::size_t>(FWidth) * FHeight, 0);
}

int TConvFilter::GetKernel(int X, int Y) const
{
    if (X < 0 || X >= FWidth || Y < 0 || Y >= FHeight)
        throw EPGConvFilter(GetPGLangStr(1));
    return FKernel[static_cast<std::size_t>(Y) * FWidth + X];
}

void TConvFilter::SetKernel(int X, int Y, int Value)
{
    if (X < 0 || X >= FWidth || Y < 0 || Y >= FHeight)
        throw EPGConvFilter(GetPGLangStr(1));
    FKernel[static_cast<std::size_t>(Y) * FWidth + X] = Value;
}

void TConvFilter::TakeKernel(int Size, const std::vector<std::int32_t>& Cells, Extended AOffset,
                             Extended AFactor)
{
    SetWidth(Size);
    SetHeight(Size);
    FKernel = Cells;
    FOriginX = FOriginY = -(Size / 2);
    FOffset = AOffset;
    FFactor = AFactor;
}

// --- kernel recipes -------------------------------------------------------------

void TConvFilter::MakeKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev)
{
    const TSquareKernel k = DistributionKernel(Shape, UseDistance, StdDev);
    TakeKernel(k.Size, k.Cells, 0, 1);
}

void TConvFilter::SetSharpenKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev,
                                   Extended Percent)
{
    TSquareKernel k = PercentKernel(Shape, UseDistance, StdDev, Percent);
    const std::int64_t s = k.Sum();
    k.Negate();
    k.SetCentre(RoundTerm((100 / Percent) * s, "Percent"), "Percent");
    TakeKernel(k.Size, k.Cells, 0, 1);
}

void TConvFilter::SetDetailKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev,
                                  Extended Percent)
{
    TSquareKernel k = PercentKernel(Shape, UseDistance, StdDev, Percent);
    const std::int64_t s = k.Sum(), kc = k.Centre();
    k.Negate();
    k.SetCentre(RoundTerm((100 / Percent) * (s - kc + 1), "Percent"), "Percent");
    TakeKernel(k.Size, k.Cells, 0, 1);
}

void TConvFilter::SetSmoothKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev,
                                  Extended Percent)
{
    TSquareKernel k = PercentKernel(Shape, UseDistance, StdDev, Percent);
    const std::int64_t s = k.Sum();
    k.SetCentre(k.Centre() + RoundTerm((100 / Percent - 1) * s, "Percent"), "Percent");
    TakeKernel(k.Size, k.Cells, 0, 1);
}

void TConvFilter::SetContourKernel(TDistributionShape Shape, bool UseDistance, Extended StdDev,
                                   Extended Strength, bool WhiteBk)
{
    TSquareKernel k = DistributionKernel(Shape, UseDistance, StdDev);
    const std::int64_t s = k.Sum(), kc = k.Centre();
    k.Negate();
    // The cells sum to 1: the pixel plus S times its difference from the
    // local mean, so flat areas meet the background.
    k.Centre() = static_cast<std::int32_t>(s - kc + 1);
    if (WhiteBk)
        TakeKernel(k.Size, k.Cells, 100, Strength);
    else
        TakeKernel(k.Size, k.Cells, 0, -Strength);
}

void TConvFilter::SetBlurKernel(Extended Radius, Extended Percent)
{
    CheckPositive(Percent, "Percent");
    if (!(std::fabs(Radius) <= MaxKernelSize))
        OutOfRange("TConvFilter.Width");
    const int n = static_cast<int>(Round(Radius)) * 2 + 1;
    if (n < 1 || n > MaxKernelSize)
        OutOfRange("TConvFilter.Width");
    // Counts of how often the circle of that radius passes each cell.
    TSquareKernel k(n);
    const int origin = -(n / 2);
    for (int a = 0; a < 360; ++a) {
        const Extended angle = a * std::numbers::pi_v<Extended> / 180;
        const int x = static_cast<int>(Round(std::sin(angle) * Radius)) - origin;
        const int y = static_cast<int>(Round(std::cos(angle) * Radius)) - origin;
        ++k.At(x, y);
    }
    k.SetCentre(k.Centre() + RoundTerm((100 / Percent - 1) * static_cast<Extended>(k.Sum()), "Percent"),
                "Percent");
    TakeKernel(k.Size, k.Cells, 0, 1);
}

// --- filtering ----------------------------------------------------------------------

void TConvFilter::BeginFilter(TPixelGraphic& ASource)
{
    TPGFilter::BeginFilter(ASource);
    const int width = ASource.GetWidth(), height = ASource.GetHeight();
    FRows.assign(static_cast<std::size_t>(height), nullptr);
    if (ASource.GetPixelFormat() == pf24Bit) {
        for (int y = 0; y < height; ++y)
            FRows[static_cast<std::size_t>(y)] = ASource.GetScanLine(y);
    } else {
        // GetPixelColor's colours: black beyond the palette.
        std::uint8_t colors[256 * 3] = {};
        for (int i = 0; i < std::min(ASource.GetPaletteSize(), 256); ++i) {
            const TColor c = ASource.GetPaletteEntry(i);
            colors[i * 3] = static_cast<std::uint8_t>(GetBValue(c));
            colors[i * 3 + 1] = static_cast<std::uint8_t>(GetGValue(c));
            colors[i * 3 + 2] = static_cast<std::uint8_t>(GetRValue(c));
        }
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        FColorCopy.resize(rowBytes * static_cast<std::size_t>(height));
        std::vector<std::uint8_t> indices(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            UnpackIndexRow(ASource.GetScanLine(y), ASource.GetPixelFormat(), width, indices.data());
            std::uint8_t* out = FColorCopy.data() + rowBytes * static_cast<std::size_t>(y);
            for (int x = 0; x < width; ++x)
                std::copy_n(colors + indices[static_cast<std::size_t>(x)] * 3, 3, out + x * 3);
            FRows[static_cast<std::size_t>(y)] = out;
        }
    }
    PrepareCells();
    PrepareLookup();
}

void TConvFilter::EndFilter()
{
    FRows.clear();
    FColorCopy.clear();
    FColorCopy.shrink_to_fit();
    FLookup.clear();
    FLookup.shrink_to_fit();
    TPGFilter::EndFilter();
}

void TConvFilter::PrepareCells()
{
    FCells.clear();
    FKernelSum = 0;
    std::int64_t magnitude = 0;
    for (int j = 0; j < FHeight; ++j)
        for (int i = 0; i < FWidth; ++i) {
            const std::int32_t k = FKernel[static_cast<std::size_t>(j) * FWidth + i];
            FKernelSum += k;
            magnitude += std::abs(static_cast<std::int64_t>(k));
            if (k != 0)
                FCells.push_back({FOriginX + i, FOriginY + j, k});
        }
    FNarrowSums = magnitude * 255 <= std::numeric_limits<std::int32_t>::max();
    FShortWeights = std::all_of(FCells.begin(), FCells.end(), [](const TCell& c) {
        return c.K >= std::numeric_limits<std::int16_t>::min() &&
               c.K <= std::numeric_limits<std::int16_t>::max();
    });
    FMinDX = FMaxDX = FMinDY = FMaxDY = 0;
    for (const TCell& c : FCells) {
        FMinDX = std::min(FMinDX, c.DX);
        FMaxDX = std::max(FMaxDX, c.DX);
        FMinDY = std::min(FMinDY, c.DY);
        FMaxDY = std::max(FMaxDY, c.DY);
    }
}

// Pixels whose whole kernel lies inside the image share one weight sum, so
// their scaled values come from a table built once per run, unless the
// table would cost more than the pixels it serves.
void TConvFilter::PrepareLookup()
{
    FLookup.clear();
    if (!FNarrowSums || FCells.empty())
        return;
    std::int64_t low = 0, high = 0;
    for (const TCell& c : FCells)
        (c.K < 0 ? low : high) += static_cast<std::int64_t>(c.K) * 255;
    const std::int64_t size = high - low + 1;
    const std::int64_t values = static_cast<std::int64_t>(Source->GetWidth()) * Source->GetHeight() * 3;
    if (size > values / 2 || size > (std::int64_t{1} << 24))
        return;
    FLookupFirst = low;
    FLookup.resize(static_cast<std::size_t>(size));
    for (std::int64_t s = low; s <= high; ++s)
        FLookup[static_cast<std::size_t>(s - low)] = Scale(s, FKernelSum);
}

std::uint8_t TConvFilter::Scale(std::int64_t Sum, std::int64_t Weight) const
{
    const Extended offset = FOffset * 255 * 0.01L;
    if (Weight != 0)
        return RoundToByte(FFactor * (static_cast<Extended>(Sum) / static_cast<Extended>(Weight)) + offset);
    return RoundToByte(FFactor * static_cast<Extended>(Sum) + offset);
}

void TConvFilter::BorderPixel(int X, int Y, std::uint8_t* BGR) const
{
    const int width = Source->GetWidth(), height = Source->GetHeight();
    std::int64_t r = 0, g = 0, b = 0, w = 0;
    bool used = false;
    for (const TCell& c : FCells) {
        const int sx = X + c.DX, sy = Y + c.DY;
        if (sx < 0 || sx >= width || sy < 0 || sy >= height)
            continue;
        const std::uint8_t* p = FRows[static_cast<std::size_t>(sy)] + static_cast<std::ptrdiff_t>(sx) * 3;
        b += static_cast<std::int64_t>(c.K) * p[0];
        g += static_cast<std::int64_t>(c.K) * p[1];
        r += static_cast<std::int64_t>(c.K) * p[2];
        w += c.K;
        used = true;
    }
    if (!used) {
        // No weight reaches the image here: the pixel stays as it is
        // rather than turning black.
        std::copy_n(FRows[static_cast<std::size_t>(Y)] + static_cast<std::ptrdiff_t>(X) * 3, 3, BGR);
        return;
    }
    BGR[0] = Scale(b, w);
    BGR[1] = Scale(g, w);
    BGR[2] = Scale(r, w);
}

namespace {

// Sums of this many channels are made at a time, so that every cell adds
// into sums that stay in the first-level cache.
constexpr int ChunkValues = 1536;

// One kernel cell's share of a span's channel sums. Kept apart, with
// pointers that do not overlap, so that the compiler runs it on vectors.
LUMENO_OPTIMIZE("-fvect-cost-model=dynamic") void Accumulate(std::int32_t* __restrict sums,
                                                              const std::uint8_t* __restrict src, std::int32_t k,
                                                              int n)
{
    for (int t = 0; t < n; ++t)
        sums[t] += k * src[t];
}

// The same for weights that fit 16 bits: products of 16-bit numbers, which
// vector units make in one step.
LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
void AccumulateShort(std::int32_t* __restrict sums, const std::uint8_t* __restrict src, std::int16_t k, int n)
{
    for (int t = 0; t < n; ++t)
        sums[t] += static_cast<std::int32_t>(static_cast<std::int16_t>(src[t])) * k;
}

// Three cells at once: the sums are loaded and stored a third as often.
LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
__attribute__((target_clones("avx2", "default"))) void AccumulateThree(
    std::int32_t* __restrict sums, const std::uint8_t* __restrict a, std::int16_t ka,
    const std::uint8_t* __restrict b, std::int16_t kb, const std::uint8_t* __restrict c, std::int16_t kc,
    int n)
{
    for (int t = 0; t < n; ++t)
        sums[t] += static_cast<std::int32_t>(static_cast<std::int16_t>(a[t])) * ka +
                   static_cast<std::int32_t>(static_cast<std::int16_t>(b[t])) * kb +
                   static_cast<std::int32_t>(static_cast<std::int16_t>(c[t])) * kc;
}

} // namespace

// Columns X0..X1-1 of row Y, whose whole kernel lies inside the image: the
// channel sums are accumulated cell by cell over a chunk of the span.
void TConvFilter::InteriorSpan(int Y, int X0, int X1, std::uint8_t* BGR) const
{
    const int total = (X1 - X0) * 3;
    std::int32_t sums[ChunkValues];
    for (int first = 0; first < total; first += ChunkValues) {
        const int n = std::min(ChunkValues, total - first);
        std::fill_n(sums, n, 0);
        const auto source = [&](const TCell& c) {
            return FRows[static_cast<std::size_t>(Y + c.DY)] + static_cast<std::ptrdiff_t>(X0 + c.DX) * 3 +
                   first;
        };
        const auto weight = [](const TCell& c) { return static_cast<std::int16_t>(c.K); };
        std::size_t i = 0;
        if (FShortWeights)
            for (; i + 3 <= FCells.size(); i += 3) {
                const TCell &a = FCells[i], &b = FCells[i + 1], &c = FCells[i + 2];
                AccumulateThree(sums, source(a), weight(a), source(b), weight(b), source(c), weight(c), n);
            }
        for (; i < FCells.size(); ++i) {
            if (FShortWeights)
                AccumulateShort(sums, source(FCells[i]), weight(FCells[i]), n);
            else
                Accumulate(sums, source(FCells[i]), FCells[i].K, n);
        }
        std::uint8_t* out = BGR + static_cast<std::ptrdiff_t>(X0) * 3 + first;
        if (!FLookup.empty()) {
            const std::uint8_t* lookup = FLookup.data() - FLookupFirst;
            for (int t = 0; t < n; ++t)
                out[t] = lookup[sums[t]];
        } else {
            for (int t = 0; t < n; ++t)
                out[t] = Scale(sums[t], FKernelSum);
        }
    }
}

void TConvFilter::FilterRow(int Y, std::uint8_t* BGR)
{
    const int width = Source->GetWidth(), height = Source->GetHeight();
    if (FCells.empty()) {
        std::copy_n(FRows[static_cast<std::size_t>(Y)], static_cast<std::size_t>(width) * 3, BGR);
        return;
    }
    int x0 = width, x1 = width;
    if (FNarrowSums && Y + FMinDY >= 0 && Y + FMaxDY < height) {
        x0 = std::min(width, std::max(0, -FMinDX));
        x1 = std::max(x0, std::min(width, width - FMaxDX));
    }
    for (int x = 0; x < x0; ++x)
        BorderPixel(x, Y, BGR + static_cast<std::ptrdiff_t>(x) * 3);
    if (x1 > x0)
        InteriorSpan(Y, x0, x1, BGR);
    for (int x = x1; x < width; ++x)
        BorderPixel(x, Y, BGR + static_cast<std::ptrdiff_t>(x) * 3);
}

TColor TConvFilter::FilterPixel(int X, int Y)
{
    std::uint8_t bgr[3];
    BorderPixel(X, Y, bgr);
    return RGB(bgr[2], bgr[1], bgr[0]);
}

} // namespace lumeno
