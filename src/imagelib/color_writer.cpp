#include "imagelib/color_writer.h"

namespace lumeno {

TColorWriter::TColorWriter(TPixelGraphic& Target) : FTarget(Target)
{
    if (Target.GetPixelFormat() == pf24Bit) {
        FMode = Direct;
    } else if (Target.GetDither()) {
        FMode = Dithered;
        Target.InitDither();
        FBuffersHeld = true;
    } else {
        FMode = Nearest;
    }
}

TColorWriter::~TColorWriter()
{
    Finish();
}

void TColorWriter::Finish()
{
    if (FBuffersHeld)
        FTarget.FreeDitherBuffers();
    FBuffersHeld = false;
}

void TColorWriter::StartRow(int Y)
{
    FY = Y;
    if (FMode == Direct)
        FRow = FTarget.GetScanLine(Y);
    else if (FMode == Dithered)
        FTarget.SwapDitherRows();
}

void TColorWriter::WriteRow(int X, const std::uint8_t* BGR, int Count)
{
    if (FMode == Direct) {
        std::memcpy(FRow + static_cast<std::ptrdiff_t>(X) * 3, BGR, static_cast<std::size_t>(Count) * 3);
        return;
    }
    const bool leftward = (FY & 1) != 0;
    for (int k = 0; k < Count; ++k) {
        const int i = leftward ? Count - 1 - k : k;
        const std::uint8_t* p = BGR + static_cast<std::ptrdiff_t>(i) * 3;
        Write(X + i, p[2], p[1], p[0]);
    }
}

} // namespace lumeno
