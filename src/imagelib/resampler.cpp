#include "imagelib/resampler.h"

#include "imagelib/color_row_reader.h"
#include "imagelib/fast_divider.h"
#include "imagelib/row_pipeline.h"

#include <algorithm>
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
    if (FitsIn32Bits(FColumns) && FitsIn32Bits(FRows))
        RunWith<std::uint32_t, TFastDivider>(Deliver);
    else
        RunWith<std::uint64_t, TWideDivider>(Deliver);
}

template <typename TSum, typename TDivide> void TResampler::RunWith(const TDeliver& Deliver)
{
    using TMaker = TRowMaker<TSum, TDivide>;
    const std::vector<TColumn> columns = ColumnTable(FColumns, FColumnFrom, FColumnTo);
    const int rowCount = FRowTo - FRowFrom + 1;
    const std::size_t rowBytes = columns.size() * 3;
    const std::int64_t work = static_cast<std::int64_t>(rowCount) *
                              static_cast<std::int64_t>(columns.size()) * FColumns.MaxSpan() *
                              FRows.MaxSpan();
    const int threads = TRowPipeline::ThreadsFor(work, rowCount);
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
