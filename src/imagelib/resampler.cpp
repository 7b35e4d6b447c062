#include "imagelib/resampler.h"

#include "imagelib/color_row_reader.h"
#include "imagelib/fast_divider.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/row_pipeline.h"
#include "platform/vectorise.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace lumeno {

namespace {

struct TWideDivider {
    explicit TWideDivider(std::uint64_t Divisor) : FDivisor(Divisor) {}
    std::uint64_t operator()(std::uint64_t n) const { return n / FDivisor; }
    std::uint64_t FDivisor;
};

// Sums of weighted channels reach 255 times the total weight; 32 bits serve
// every picture up to 16 million pixels across, wider ones take 64.
bool FitsIn32Bits(const TStretchAxis& Axis)
{
    return Axis.Total() < (1 << 24);
}

// One destination column: where its source pixels start (in bytes), how
// many there are, and the weights of the first and the last.
struct TColumn {
    std::int32_t Offset;
    std::int32_t Count;
    std::uint32_t WeightFirst;
    std::uint32_t WeightLast;
};

std::vector<TColumn> ColumnTable(const TStretchAxis& Columns, int From, int To)
{
    std::vector<TColumn> table;
    table.reserve(static_cast<std::size_t>(To - From + 1));
    for (int d = From; d <= To; ++d) {
        const TStretchEntry& e = Columns.At(d);
        table.push_back({e.First * 3, e.Last - e.First + 1, static_cast<std::uint32_t>(e.WeightFirst),
                         static_cast<std::uint32_t>(e.WeightLast)});
    }
    return table;
}

// Makes destination rows one after another for one thread: source rows are
// resampled across once and kept while later destination rows need them.
template <typename TSum, typename TDivide> class TRowMaker {
public:
    TRowMaker(TPixelGraphic& Source, const std::vector<TColumn>& Columns, const TStretchAxis& ColumnAxis,
              const TStretchAxis& Rows)
        : FReader(Source), FColumns(Columns), FRows(Rows), FMiddle(static_cast<TSum>(ColumnAxis.Middle())),
          FAcross(static_cast<TSum>(ColumnAxis.Total())), FDown(static_cast<TSum>(Rows.Total())),
          FSlots(std::max(Rows.MaxSpan(), 1)), FSlotRow(static_cast<std::size_t>(FSlots), -1),
          FCache(static_cast<std::size_t>(FSlots) * Columns.size() * 3), FSums(Columns.size() * 3)
    {
    }

    void Make(int Row, std::uint8_t* Out)
    {
        const TStretchEntry& r = FRows.At(Row);
        const std::size_t n = FSums.size();
        if (r.Kind == 0) {
            const TSum* h = Across(r.First);
            for (std::size_t i = 0; i < n; ++i)
                Out[i] = static_cast<std::uint8_t>(h[i]);
            return;
        }
        TSum* acc = FSums.data();
        std::fill(FSums.begin(), FSums.end(), TSum{0});
        for (int sy = r.First; sy <= r.Last; ++sy) {
            const TSum w = static_cast<TSum>(sy == r.First ? r.WeightFirst
                                                           : (sy == r.Last ? r.WeightLast : FRows.Middle()));
            const TSum* h = Across(sy);
            for (std::size_t i = 0; i < n; ++i)
                acc[i] += w * h[i];
        }
        const TDivide divide = FDown;
        for (std::size_t i = 0; i < n; ++i)
            Out[i] = static_cast<std::uint8_t>(divide(acc[i]));
    }

private:
    const TSum* Across(int SourceRow)
    {
        const int slot = SourceRow % FSlots;
        TSum* out = FCache.data() + static_cast<std::size_t>(slot) * FSums.size();
        if (FSlotRow[static_cast<std::size_t>(slot)] != SourceRow) {
            Resample(FReader.Row(SourceRow), out);
            FSlotRow[static_cast<std::size_t>(slot)] = SourceRow;
        }
        return out;
    }

    // The pixels between the first and the last of a column, summed; the
    // usual short runs are unrolled.
    template <int Count> static void SumMiddle(const std::uint8_t* q, TSum& m0, TSum& m1, TSum& m2)
    {
        for (int k = 0; k < Count; ++k, q += 3) {
            m0 += q[0];
            m1 += q[1];
            m2 += q[2];
        }
    }

    void Resample(const std::uint8_t* src, TSum* out) const
    {
        // Locals, so that stores through out cannot be taken to change them.
        const TDivide divide = FAcross;
        const TSum middle = FMiddle;
        for (const TColumn& c : FColumns) {
            const std::uint8_t* p = src + c.Offset;
            if (c.Count == 1) {
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
                out += 3;
                continue;
            }
            TSum m0 = 0, m1 = 0, m2 = 0;
            switch (c.Count) {
            case 2:
                break;
            case 3:
                SumMiddle<1>(p + 3, m0, m1, m2);
                break;
            case 4:
                SumMiddle<2>(p + 3, m0, m1, m2);
                break;
            case 5:
                SumMiddle<3>(p + 3, m0, m1, m2);
                break;
            default:
                for (const std::uint8_t *q = p + 3, *end = p + (c.Count - 1) * 3; q != end; q += 3) {
                    m0 += q[0];
                    m1 += q[1];
                    m2 += q[2];
                }
            }
            const std::uint8_t* q = p + (c.Count - 1) * 3;
            out[0] = divide(c.WeightFirst * TSum{p[0]} + middle * m0 + c.WeightLast * TSum{q[0]});
            out[1] = divide(c.WeightFirst * TSum{p[1]} + middle * m1 + c.WeightLast * TSum{q[1]});
            out[2] = divide(c.WeightFirst * TSum{p[2]} + middle * m2 + c.WeightLast * TSum{q[2]});
            out += 3;
        }
    }

    TColorRowReader FReader;
    const std::vector<TColumn>& FColumns;
    const TStretchAxis& FRows;
    TSum FMiddle;
    TDivide FAcross, FDown;
    int FSlots;
    std::vector<int> FSlotRow;
    std::vector<TSum> FCache;
    std::vector<TSum> FSums;
};

// Totals up to this divide exactly in single precision: every weighted sum
// is an integer below 2^24, and (sum + 1/2) / total, computed with two
// roundings, stays nearer its true value than 1/2 / total, its least distance
// from an integer; truncation then gives the integer quotient.
constexpr int FloatTotal = 1 << 14;

bool FitsInFloat(const TStretchAxis& Axis)
{
    return Axis.Total() <= FloatTotal;
}

// The vector loops of the single-precision rows, kept apart with pointers
// that do not overlap so that the compiler runs them on vectors.
LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
void QuotientBytes(const float* __restrict sums, float inverse, std::uint8_t* __restrict out, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(static_cast<std::int32_t>((sums[i] + 0.5f) * inverse));
}

LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
__attribute__((target_clones("avx2", "default"))) void BlendBytes(const float* __restrict a, float wa,
                                                                  const float* __restrict b, float wb,
                                                                  float inverse, std::uint8_t* __restrict out,
                                                                  std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] =
            static_cast<std::uint8_t>(static_cast<std::int32_t>((wa * a[i] + wb * b[i] + 0.5f) * inverse));
}

LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
void ToFloats(const std::uint8_t* __restrict bytes, float* __restrict out, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        out[i] = bytes[i];
}

LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
void Weigh(const float* __restrict h, float w, float* __restrict sums, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        sums[i] = w * h[i];
}

LUMENO_OPTIMIZE("-fvect-cost-model=dynamic")
void AddWeighed(const float* __restrict h, float w, float* __restrict sums, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        sums[i] += w * h[i];
}

// The same rows for totals that fit single precision: sums of integer
// products stay exact in floats, which the compiler turns into vector code,
// and the quotient is one multiplication.
class TFloatRowMaker {
public:
    TFloatRowMaker(TPixelGraphic& Source, const std::vector<TColumn>& Columns, const TStretchAxis& ColumnAxis,
                   const TStretchAxis& Rows)
        : FReader(Source), FRows(Rows), FMiddle(static_cast<float>(ColumnAxis.Middle())),
          FAcross(1.0f / static_cast<float>(ColumnAxis.Total())),
          FDown(1.0f / static_cast<float>(Rows.Total())), FSlots(std::max(Rows.MaxSpan(), 1)),
          FSlotRow(static_cast<std::size_t>(FSlots), -1), FSums(Columns.size() * 3),
          FCache(static_cast<std::size_t>(FSlots) * Stride()),
          FSource(static_cast<std::size_t>(Source.GetWidth()) * 3 + 1)
    {
        FColumns.reserve(Columns.size());
        for (const TColumn& c : Columns)
            FColumns.push_back(
                {c.Offset, c.Count, static_cast<float>(c.WeightFirst), static_cast<float>(c.WeightLast)});
    }

    void Make(int Row, std::uint8_t* Out)
    {
        const TStretchEntry& r = FRows.At(Row);
        const std::size_t n = FSums.size();
        const auto weight = [&](int sy) {
            return static_cast<float>(sy == r.First ? r.WeightFirst
                                                    : (sy == r.Last ? r.WeightLast : FRows.Middle()));
        };
        if (r.Kind == 0) {
            QuotientBytes(Across(r.First), 1.0f, Out, n);
        } else if (r.Kind == 1) {
            // The two slots differ, so the first row stays cached.
            const float* first = Across(r.First);
            BlendBytes(first, weight(r.First), Across(r.Last), weight(r.Last), FDown, Out, n);
        } else {
            Weigh(Across(r.First), weight(r.First), FSums.data(), n);
            for (int sy = r.First + 1; sy <= r.Last; ++sy)
                AddWeighed(Across(sy), weight(sy), FSums.data(), n);
            QuotientBytes(FSums.data(), FDown, Out, n);
        }
    }

private:
    // Slots and the source row hold one float more than their pixels: every
    // pixel is loaded and stored as a vector of four.
    std::size_t Stride() const { return FSums.size() + 1; }

    const float* Across(int SourceRow)
    {
        const int slot = SourceRow % FSlots;
        float* out = FCache.data() + static_cast<std::size_t>(slot) * Stride();
        if (FSlotRow[static_cast<std::size_t>(slot)] != SourceRow) {
            ToFloats(FReader.Row(SourceRow), FSource.data(), FSource.size() - 1);
            Resample(FSource.data(), out);
            FSlotRow[static_cast<std::size_t>(slot)] = SourceRow;
        }
        return out;
    }

    // Blue, green, red (and a fourth lane that is not used) of one pixel.
    using TPixel = float __attribute__((vector_size(16)));
    using TWhole = std::int32_t __attribute__((vector_size(16)));

    static TPixel Load(const float* p)
    {
        TPixel v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }

    void Resample(const float* src, float* out) const
    {
        const float inverse = FAcross, middle = FMiddle;
        for (const TFloatColumn& c : FColumns) {
            const float* p = src + c.Offset;
            TPixel v = Load(p);
            if (c.Count > 1) {
                const float* q = p + (c.Count - 1) * 3;
                v = c.WeightFirst * v + c.WeightLast * Load(q);
                if (c.Count > 2) {
                    TPixel m = {};
                    for (const float* k = p + 3; k != q; k += 3)
                        m += Load(k);
                    v += middle * m;
                }
                v = __builtin_convertvector(__builtin_convertvector((v + 0.5f) * inverse, TWhole), TPixel);
            }
            std::memcpy(out, &v, sizeof v);
            out += 3;
        }
    }

    // A column with its weights ready for the vector lanes.
    struct TFloatColumn {
        std::int32_t Offset;
        std::int32_t Count;
        float WeightFirst;
        float WeightLast;
    };

    TColorRowReader FReader;
    std::vector<TFloatColumn> FColumns;
    const TStretchAxis& FRows;
    float FMiddle;
    float FAcross, FDown; // inverses of the totals
    int FSlots;
    std::vector<int> FSlotRow;
    std::vector<float> FSums;
    std::vector<float> FCache;
    std::vector<float> FSource; // the source row being resampled across
};

} // namespace

TResampler::TResampler(TPixelGraphic& Source, const TStretchAxis& Columns, const TStretchAxis& Rows,
                       int ColumnFrom, int ColumnTo, int RowFrom, int RowTo)
    : FSource(Source), FColumns(Columns), FRows(Rows), FColumnFrom(ColumnFrom), FColumnTo(ColumnTo),
      FRowFrom(RowFrom), FRowTo(RowTo)
{
}

void TResampler::Run(const TDeliver& Deliver)
{
    if (FColumnFrom > FColumnTo || FRowFrom > FRowTo)
        return;
    FSource.Flush();
    if (FitsInFloat(FColumns) && FitsInFloat(FRows))
        RunWith<TFloatRowMaker>(Deliver);
    else if (FitsIn32Bits(FColumns) && FitsIn32Bits(FRows))
        RunWith<TRowMaker<std::uint32_t, TFastDivider>>(Deliver);
    else
        RunWith<TRowMaker<std::uint64_t, TWideDivider>>(Deliver);
}

template <typename TMaker> void TResampler::RunWith(const TDeliver& Deliver)
{
    const std::vector<TColumn> columns = ColumnTable(FColumns, FColumnFrom, FColumnTo);
    const int rowCount = FRowTo - FRowFrom + 1;
    const std::size_t rowBytes = columns.size() * 3;
    const std::int64_t work = static_cast<std::int64_t>(rowCount) *
                              static_cast<std::int64_t>(columns.size()) * FColumns.MaxSpan() *
                              FRows.MaxSpan();
    const int threads = ThreadsFor(work, rowCount);
    std::vector<std::unique_ptr<TMaker>> makers;
    for (int t = 0; t < threads; ++t)
        makers.push_back(std::make_unique<TMaker>(FSource, columns, FColumns, FRows));
    TRowPipeline::Run(
        FRowFrom, FRowTo, rowBytes, threads,
        [&](int Thread, int Row, TRowPipeline::TRow& Out) {
            makers[static_cast<std::size_t>(Thread)]->Make(Row, Out.BGR);
            Out.Count = static_cast<int>(columns.size());
        },
        [&](int Row, const TRowPipeline::TRow& Out) { return Deliver(Row, Out.BGR); });
}

} // namespace lumeno
