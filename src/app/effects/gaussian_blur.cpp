#include "app/effects/gaussian_blur.h"

#include "app/effects/graphic_update.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pixel_graphic.h"
#include "platform/exception.h"
#include "platform/vectorise.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace lumeno {

const char* const GaussianBlur24Message =
    "Gaussian Blur only works for 24-bit images. Convert the image first using Image/Color Resolution";

namespace {

constexpr int WeightShift = 22;
// Pixel columns blurred together in the column pass.
constexpr int StripPixels = 64;

// Integer weights summing to exactly 1 << WeightShift (the rounding left
// on the centre tap), so a uniform picture keeps its exact value.
std::vector<std::int32_t> FixedWeights(const TGaussianKernel& K)
{
    std::vector<std::int32_t> w(static_cast<std::size_t>(2 * K.Size + 1));
    std::int32_t sum = 0;
    for (int n = -K.Size; n <= K.Size; ++n) {
        w[static_cast<std::size_t>(n + K.Size)] =
            static_cast<std::int32_t>(std::lround(static_cast<double>(K[n]) * (1 << WeightShift)));
        sum += w[static_cast<std::size_t>(n + K.Size)];
    }
    w[static_cast<std::size_t>(K.Size)] += (1 << WeightShift) - sum;
    return w;
}

// The hot loop of both passes, vectorised whatever the build's level.
// Count bytes of Out from taps over In, where tap n reads In + n * Step:
// each output byte is the weighted sum of bytes Step apart.
LUMENO_OPTIMIZE("O3", "tree-vectorize") void
Convolve(const std::uint8_t* In, std::size_t Step, std::size_t Count, const std::vector<std::int32_t>& W,
         std::int32_t* __restrict Acc, std::uint8_t* __restrict Out)
{
    std::fill(Acc, Acc + Count, 0);
    for (std::size_t n = 0; n < W.size(); ++n) {
        const std::int32_t k = W[n];
        const std::uint8_t* __restrict in = In + n * Step;
        for (std::size_t i = 0; i < Count; ++i)
            Acc[i] += k * in[i];
    }
    for (std::size_t i = 0; i < Count; ++i)
        Out[i] = static_cast<std::uint8_t>(Acc[i] >> WeightShift);
}

struct TBlurWork {
    std::vector<std::uint8_t> Padded;
    std::vector<std::int32_t> Acc;
};

class TBlur {
public:
    TBlur(TPixelGraphic& Image, const TGaussianKernel& K)
        : FW(Image.GetWidth()), FH(Image.GetHeight()), FSize(K.Size), FWeights(FixedWeights(K)),
          FWork(static_cast<std::size_t>(ParallelThreads()))
    {
        for (int y = 0; y < FH; ++y)
            FRows.push_back(Image.GetScanLine(y));
    }

    // The row, its edge pixels repeated Size times on either side.
    void Rows(int Thread, int Begin, int End)
    {
        TBlurWork& work = FWork[static_cast<std::size_t>(Thread)];
        const auto bytes = static_cast<std::size_t>(FW) * 3, pad = static_cast<std::size_t>(FSize) * 3;
        work.Padded.resize(bytes + 2 * pad);
        work.Acc.resize(bytes);
        for (int y = Begin; y < End; ++y) {
            std::uint8_t* row = FRows[static_cast<std::size_t>(y)];
            std::uint8_t* padded = work.Padded.data();
            std::memcpy(padded + pad, row, bytes);
            for (int i = 0; i < FSize; ++i) {
                std::memcpy(padded + i * 3, row, 3);
                std::memcpy(padded + pad + bytes + i * 3, row + bytes - 3, 3);
            }
            Convolve(padded, 3, bytes, FWeights, work.Acc.data(), row);
        }
    }

    // Strips of columns, gathered with their edge rows repeated.
    void Columns(int Thread, int Begin, int End)
    {
        TBlurWork& work = FWork[static_cast<std::size_t>(Thread)];
        for (int strip = Begin; strip < End; ++strip) {
            const int x0 = strip * StripPixels, count = std::min(StripPixels, FW - x0);
            const auto bytes = static_cast<std::size_t>(count) * 3;
            work.Padded.resize(bytes * static_cast<std::size_t>(FH + 2 * FSize));
            work.Acc.resize(bytes);
            for (int y = -FSize; y < FH + FSize; ++y)
                std::memcpy(work.Padded.data() + static_cast<std::size_t>(y + FSize) * bytes,
                            FRows[static_cast<std::size_t>(std::clamp(y, 0, FH - 1))] + x0 * 3, bytes);
            for (int y = 0; y < FH; ++y)
                Convolve(work.Padded.data() + static_cast<std::size_t>(y) * bytes, bytes, bytes, FWeights,
                         work.Acc.data(), FRows[static_cast<std::size_t>(y)] + x0 * 3);
        }
    }

    int StripCount() const { return (FW + StripPixels - 1) / StripPixels; }

private:
    int FW, FH, FSize;
    std::vector<std::int32_t> FWeights;
    std::vector<std::uint8_t*> FRows;
    std::vector<TBlurWork> FWork;
};

} // namespace

void MakeGaussianKernel(TGaussianKernel& K, double Radius, double MaxData, double DataGranularity)
{
    for (int j = -100; j <= 100; ++j) {
        const double t = j / Radius;
        K[j] = static_cast<float>(std::exp(-t * t / 2));
    }
    float total = 0;
    for (const float w : K.Data)
        total += w;
    for (float& w : K.Data)
        w /= total;
    const double delta = DataGranularity / (2 * MaxData);
    double sum = 0;
    int j = 100;
    while (sum < delta && j >= 2) {
        sum += 2 * K[j];
        --j;
    }
    K.Size = j;
    float kept = 0;
    for (int n = -K.Size; n <= K.Size; ++n)
        kept += K[n];
    for (int n = -K.Size; n <= K.Size; ++n)
        K[n] /= kept;
}

int TrimInt(int Lower, int Upper, int Value)
{
    if (Value >= Lower && Value <= Upper)
        return Value;
    return Value > Upper ? Upper : Lower;
}

int TrimReal(int Lower, int Upper, double Value)
{
    if (Value < Lower)
        return Lower;
    if (Value > Upper)
        return Upper;
    return static_cast<int>(Value);
}

void BlurRow(std::uint8_t* Row, int LastIndex, const TGaussianKernel& K, std::uint8_t* Buffer)
{
    const std::vector<std::int32_t> w = FixedWeights(K);
    for (int j = 0; j <= LastIndex; ++j)
        for (int c = 0; c < 3; ++c) {
            std::int64_t sum = 0;
            for (int n = -K.Size; n <= K.Size; ++n)
                sum += std::int64_t{w[static_cast<std::size_t>(n + K.Size)]} *
                       Row[TrimInt(0, LastIndex, j - n) * 3 + c];
            Buffer[j * 3 + c] =
                static_cast<std::uint8_t>(TrimReal(0, 255, static_cast<double>(sum >> WeightShift)));
        }
    std::memcpy(Row, Buffer, static_cast<std::size_t>(LastIndex + 1) * 3);
}

void GaussianBlur24(TPixelGraphic& Image, double Radius, const TBlurProgress& Progress)
{
    if (Image.GetPixelFormat() != pf24Bit)
        throw Exception(GaussianBlur24Message);
    if (!(Radius > 0) || Image.GetWidth() < 1 || Image.GetHeight() < 1)
        return;
    TGaussianKernel kernel;
    MakeGaussianKernel(kernel, Radius, 255.0, 1.0);
    const TGraphicUpdate update(Image);
    TBlur blur(Image, kernel);
    const int h = Image.GetHeight(), strips = blur.StripCount();
    auto report = [&](int percent) {
        if (Progress)
            Progress(percent);
    };
    report(0);
    ParallelRanges(
        h, 8, [&](int t, int b, int e) { blur.Rows(t, b, e); },
        [&](int done) {
            report(static_cast<int>(static_cast<double>(done) / h * 50));
            return true;
        });
    report(50);
    ParallelRanges(
        strips, 1, [&](int t, int b, int e) { blur.Columns(t, b, e); },
        [&](int done) {
            report(static_cast<int>(static_cast<double>(done) / strips * 50 + 50));
            return true;
        });
    report(100);
}

} // namespace lumeno
