#pragma once
// Filters change an image pixel by pixel; TPixelGraphic::ApplyFilter drives
// them over a whole destination. Point filters (result depends only on the
// pixel's own colour) may also run in place and on palettes.

#include "imagelib/filters/color_memo.h"
#include "imagelib/pixel_graphic.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace lumeno {

// Root of the filter family.
class TPGFilterClass {
public:
    virtual ~TPGFilterClass() = default;
};

class TPGFilter : public TPGFilterClass {
public:
    TPGFilter() = default;
    TPGFilter(const TPGFilter&) = delete;
    TPGFilter& operator=(const TPGFilter&) = delete;

    // Called once before a run; descendants build their tables here.
    virtual void BeginFilter(TPixelGraphic& ASource);
    // New colour of pixel (X, Y) of Source, row 0 at the top.
    virtual TColor FilterPixel(int X, int Y);
    virtual void EndFilter();
    virtual bool IsPointFilter() const { return false; }
    // New value of one colour (palette entries).
    virtual TColor FilterColor(TColor Color) { return Color; }

    // Row Y of the result as blue, green, red bytes, Source's width long.
    // The default asks FilterPixel; the library's filters fill whole rows
    // so that the driver pays one call per row.
    virtual void FilterRow(int Y, std::uint8_t* BGR);
    // True when FilterRow may run for several rows at once on several
    // threads (it then reads only what BeginFilter prepared).
    virtual bool RowsIndependent() const { return false; }

    TPixelGraphic* GetSource() const { return Source; }

protected:
    TPixelGraphic* Source = nullptr;

private:
    friend class TPGFilterRun;
    // One run at a time: a second ApplyFilter with a filter that is still
    // in a run (from a progress handler or another thread) is refused.
    std::atomic<bool> FInRun{false};
};

// Base of the library's point filters: a filter maps rows of colours, so
// that palettes, palette sources and 24-bit rows share one routine.
class TPGPointFilter : public TPGFilter {
public:
    void BeginFilter(TPixelGraphic& ASource) override;
    void EndFilter() override;
    TColor FilterPixel(int X, int Y) override { return FilterColor(Source->GetPixelColor(X, Y)); }
    bool IsPointFilter() const override { return true; }
    TColor FilterColor(TColor Color) override;
    void FilterRow(int Y, std::uint8_t* BGR) override;

protected:
    // Called by BeginFilter after Source is stored, before any colour is
    // mapped.
    virtual void Prepare() {}
    // Count pixels of blue, green, red bytes; In and Out may be the same.
    virtual void MapColors(const std::uint8_t* In, std::uint8_t* Out, int Count) = 0;

    // Live from BeginFilter to EndFilter; used by the filters with float
    // work per colour.
    TColorMemo Memo;

private:
    // Every pixel value of a palette source, mapped (GetPixelColor's
    // colours: black beyond the palette).
    std::array<std::uint8_t, 256 * 3> FMappedPalette{};
};

} // namespace lumeno
