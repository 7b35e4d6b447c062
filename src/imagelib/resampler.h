#pragma once
// The arithmetic of resampling: destination rows computed from the source
// with the integer weights of two stretch tables, on several threads when
// the picture is large. The rows are handed over strictly in order on the
// calling thread, so writing, dithering and progress stay sequential.

#include "imagelib/pixel_graphic.h"
#include "imagelib/stretch_axis.h"

#include <cstdint>
#include <functional>

namespace lumeno {

class TResampler {
public:
    // Columns and Rows cover the destination positions ColumnFrom .. ColumnTo
    // and RowFrom .. RowTo (relative to the destination start), all valid.
    TResampler(TPixelGraphic& Source, const TStretchAxis& Columns, const TStretchAxis& Rows, int ColumnFrom,
               int ColumnTo, int RowFrom, int RowTo);

    // Deliver (row, blue-green-red bytes of the columns) for every row in
    // order; returning false stops the work.
    using TDeliver = std::function<bool(int Row, const std::uint8_t* BGR)>;
    void Run(const TDeliver& Deliver);

private:
    template <typename TMaker> void RunWith(const TDeliver& Deliver);

    TPixelGraphic& FSource;
    const TStretchAxis& FColumns;
    const TStretchAxis& FRows;
    int FColumnFrom, FColumnTo, FRowFrom, FRowTo;
};

} // namespace lumeno
