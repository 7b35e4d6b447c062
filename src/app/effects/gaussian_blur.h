#pragma once
// Separable Gaussian blur of 24-bit images with a real radius: every row,
// then every column, on all cores.

#include <cstdint>
#include <functional>

namespace lumeno {

class TPixelGraphic;

struct TGaussianKernel {
    int Size = 1;         // taps -Size..Size are used
    float Data[201] = {}; // weights for -100..100, at Data[j + 100]
    float& operator[](int j) { return Data[j + 100]; }
    float operator[](int j) const { return Data[j + 100]; }
};

void MakeGaussianKernel(TGaussianKernel& K, double Radius, double MaxData, double DataGranularity);
int TrimInt(int Lower, int Upper, int Value);
int TrimReal(int Lower, int Upper, double Value);
// Blurs Row (LastIndex + 1 pixels of blue, green, red) in place, the edge
// pixels repeating; Buffer holds at least as many pixels.
void BlurRow(std::uint8_t* Row, int LastIndex, const TGaussianKernel& K, std::uint8_t* Buffer);

// Percent done, 0..50 for the rows and 50..100 for the columns, reported
// on the calling thread.
using TBlurProgress = std::function<void(int Percent)>;

extern const char* const GaussianBlur24Message;
// Raises Exception with GaussianBlur24Message for an image that is not
// 24-bit, before anything changes. A radius of 0 or less changes nothing.
void GaussianBlur24(TPixelGraphic& Image, double Radius, const TBlurProgress& Progress = {});

} // namespace lumeno
