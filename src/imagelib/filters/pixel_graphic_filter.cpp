// TPixelGraphic::ApplyFilter: palette images are filtered through their
// palette when the filter allows it, everything else row by row.

#include "imagelib/color_writer.h"
#include "imagelib/filters/pg_filter.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_messages.h"
#include "imagelib/row_pipeline.h"

#include <vector>

namespace lumeno {

// One run of a filter: marks the filter busy, and ends the run with
// EndFilter on every path so that the filter never keeps a dangling Source.
class TPGFilterRun {
public:
    explicit TPGFilterRun(TPGFilter& Filter) : FFilter(Filter)
    {
        if (FFilter.FInRun.exchange(true))
            throw EPGFilter(GetPGLangStrS1(7, "Filter (already running)"));
    }
    ~TPGFilterRun()
    {
        End();
        FFilter.FInRun = false;
    }
    TPGFilterRun(const TPGFilterRun&) = delete;
    TPGFilterRun& operator=(const TPGFilterRun&) = delete;

    void Begin(TPixelGraphic& Source)
    {
        FFilter.BeginFilter(Source);
        FBegun = true;
    }
    void End()
    {
        if (FBegun)
            FFilter.EndFilter();
        FBegun = false;
    }

private:
    TPGFilter& FFilter;
    bool FBegun = false;
};

namespace {

void FilterPalette(TPixelGraphic& Target, TPGFilter& Filter, TPGFilterRun& Run, TPixelGraphic& Source)
{
    if (&Source != &Target)
        Target.Assign(&Source);
    if (Target.GetPaletteSize() >= 1) {
        Run.Begin(Source);
        for (int i = 0; i < Target.GetPaletteSize(); ++i)
            Target.SetPaletteEntry(i, Filter.FilterColor(Target.GetPaletteEntry(i)));
        Run.End();
    }
    Target.Changed(&Target);
}

void FilterPixels(TPixelGraphic& Target, TPGFilter& Filter, TPGFilterRun& Run, TPixelGraphic& Source)
{
    TColorWriter writer(Target);
    Run.Begin(Source);
    Target.ProgressStart();
    const int width = Target.GetWidth(), height = Target.GetHeight();
    // Rows are made on several threads when the filter allows it, and
    // written in order here, where dithering and progress stay sequential.
    // Pending canvas drawing reaches the source here, not on a worker.
    Source.Flush();
    const int threads = Filter.RowsIndependent() ? ThreadsFor(std::int64_t{width} * height * 9, height) : 1;
    try {
        TRowPipeline::Run(
            0, height - 1, static_cast<std::size_t>(width) * 3, threads,
            [&](int, int y, TRowPipeline::TRow& Out) {
                Filter.FilterRow(y, Out.BGR);
                Out.Count = width;
            },
            [&](int y, const TRowPipeline::TRow& Out) {
                writer.StartRow(y);
                writer.WriteRow(0, Out.BGR, width);
                return !Target.Progress(y, height - 1);
            });
    } catch (...) {
        // The gauge and the viewers must not be left mid-run.
        Target.ProgressEnd();
        Run.End();
        writer.Finish();
        Target.Changed(&Target);
        throw;
    }
    Target.ProgressEnd();
    Run.End();
    writer.Finish();
    Target.Changed(&Target);
}

} // namespace

void TPixelGraphic::ApplyFilter(TPGFilter& Filter, TPixelGraphic& Source)
{
    if (&Source == this && !Filter.IsPointFilter())
        throw EPGFilter(GetPGLangStr(23));
    TPGFilterRun run(Filter);
    if (&Source != this)
        SetDimensions(Source.GetWidth(), Source.GetHeight(), FPixelFormat);
    if (FWidth < 1 || FHeight < 1)
        return;
    if (Filter.IsPointFilter() && FPixelFormat != pf24Bit && FPixelFormat >= Source.GetPixelFormat())
        FilterPalette(*this, Filter, run, Source);
    else
        FilterPixels(*this, Filter, run, Source);
}

} // namespace lumeno
