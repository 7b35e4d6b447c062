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

TColorWriter::~TColorWriter() { Finish(); }

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

} // namespace lumeno
