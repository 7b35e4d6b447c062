#include "imagelib/color_quantizer.h"

#include <algorithm>

namespace lumeno {

namespace {

enum { AxisRed, AxisGreen, AxisBlue };

constexpr int HistogramCells = 65536;

} // namespace

TColorQuantizer::TColorQuantizer() : FHistogram(new std::uint16_t[HistogramCells]()) {}

void TColorQuantizer::AddRow(const std::uint8_t* BGR, int Count)
{
    std::uint16_t* h = FHistogram.get();
    for (const std::uint8_t* end = BGR + static_cast<std::ptrdiff_t>(Count) * 3; BGR != end; BGR += 3) {
        std::uint16_t& n = h[Cell(BGR[2], BGR[1], BGR[0])];
        if (n != 0xFFFF)
            ++n;
    }
}

bool TColorQuantizer::PlaneUsed(const TBox& Box, int Axis, int Value) const
{
    int rl = Box.RLow, rh = Box.RHigh, gl = Box.GLow, gh = Box.GHigh, bl = Box.BLow, bh = Box.BHigh;
    if (Axis == AxisRed)
        rl = rh = Value;
    else if (Axis == AxisGreen)
        gl = gh = Value;
    else
        bl = bh = Value;
    for (int r = rl; r <= rh; ++r)
        for (int g = gl; g <= gh; ++g) {
            const std::uint16_t* row = FHistogram.get() + r * 2048 + g * 32;
            for (int b = bl; b <= bh; ++b)
                if (row[b])
                    return true;
        }
    return false;
}

void TColorQuantizer::Shrink(TBox& Box) const
{
    int* bounds[3][2] = {{&Box.RLow, &Box.RHigh}, {&Box.GLow, &Box.GHigh}, {&Box.BLow, &Box.BHigh}};
    for (int axis = AxisRed; axis <= AxisBlue; ++axis) {
        int& low = *bounds[axis][0];
        int& high = *bounds[axis][1];
        while (low < high && !PlaneUsed(Box, axis, low))
            ++low;
        while (high > low && !PlaneUsed(Box, axis, high))
            --high;
    }
    const std::int64_t dr = Box.RHigh - Box.RLow, dg = Box.GHigh - Box.GLow, db = Box.BHigh - Box.BLow;
    Box.Extent = (db * 16) * (db * 16) + (dg * 12) * (dg * 12) + (dr * 16) * (dr * 16);
    Box.Volume = (dr + 1) * (dg + 1) * (db + 1);
}

// While there is room for twice the boxes, the bulkiest one is cut; near
// the end the one with the widest colour spread.
int TColorQuantizer::ChooseBox(const std::vector<TBox>& Boxes, int Wanted)
{
    const bool byVolume = Wanted >= 2 * static_cast<int>(Boxes.size());
    int best = -1;
    std::int64_t bestValue = 0;
    for (int i = 0; i < static_cast<int>(Boxes.size()); ++i) {
        const TBox& box = Boxes[i];
        if (box.Extent == 0)
            continue;
        const std::int64_t value = byVolume ? box.Volume : box.Extent;
        if (best < 0 || value > bestValue) {
            best = i;
            bestValue = value;
        }
    }
    return best;
}

void TColorQuantizer::Split(std::vector<TBox>& Boxes, int Index)
{
    TBox& box = Boxes[Index];
    const int lb = (box.BHigh - box.BLow) * 16;
    const int lg = (box.GHigh - box.GLow) * 12;
    const int lr = (box.RHigh - box.RLow) * 16;
    TBox added = box;
    if (lg >= lr && lg >= lb) {
        box.GHigh = (box.GLow + box.GHigh) / 2;
        added.GLow = box.GHigh + 1;
    } else if (lr >= lb) {
        box.RHigh = (box.RLow + box.RHigh) / 2;
        added.RLow = box.RHigh + 1;
    } else {
        box.BHigh = (box.BLow + box.BHigh) / 2;
        added.BLow = box.BHigh + 1;
    }
    Boxes.push_back(added);
}

TColor TColorQuantizer::BoxColor(const TBox& Box) const
{
    std::uint64_t count = 0, sr = 0, sg = 0, sb = 0;
    for (int r = Box.RLow; r <= Box.RHigh; ++r)
        for (int g = Box.GLow; g <= Box.GHigh; ++g) {
            const std::uint16_t* row = FHistogram.get() + r * 2048 + g * 32;
            for (int b = Box.BLow; b <= Box.BHigh; ++b) {
                const std::uint64_t n = row[b];
                count += n;
                sr += n * static_cast<std::uint64_t>(8 * r + 4);
                sg += n * static_cast<std::uint64_t>(4 * g + 2);
                sb += n * static_cast<std::uint64_t>(8 * b + 4);
            }
        }
    if (count == 0)
        return clBlack;
    const auto mean = [count](std::uint64_t sum) { return static_cast<unsigned>((sum + count / 2) / count); };
    return RGB(mean(sr), mean(sg), mean(sb));
}

std::vector<TColor> TColorQuantizer::Palette(int MaxColors) const
{
    std::vector<TBox> boxes;
    boxes.reserve(static_cast<std::size_t>(std::max(MaxColors, 1)));
    boxes.push_back(TBox{0, 31, 0, 63, 0, 31});
    Shrink(boxes[0]);
    while (static_cast<int>(boxes.size()) < MaxColors) {
        const int chosen = ChooseBox(boxes, MaxColors);
        if (chosen < 0)
            break;
        Split(boxes, chosen);
        Shrink(boxes[chosen]);
        Shrink(boxes.back());
    }
    std::vector<TColor> palette;
    palette.reserve(boxes.size());
    for (const TBox& box : boxes)
        palette.push_back(BoxColor(box));
    return palette;
}

} // namespace lumeno
