#pragma once
// Library-wide settings: the gamma defaults and the codec options. They are
// set to their defaults by PGStartup and read by the codecs at each read or
// write; the program keeps the defaults.

#include "platform/numeric.h"

#include <array>
#include <cstdint>

namespace lumeno {

// Gamma assumed for images and the target of the load-time correction.
extern Extended DefaultGamma;
// Correct loaded images whose gamma differs from DefaultGamma by over 5 %.
extern bool GammaCorrectOnLoad;

// 16-bit BMP channels are stretched so that full intensity reads as 255.
extern bool BMPExpand16Bit;

extern std::uint8_t JPEGReadDCTMethod;
extern std::uint8_t JPEGWriteDCTMethod;
extern std::uint8_t JPEGQuality;
extern bool JPEGProgressive;

extern bool PNGUseFileBackground;
extern bool PNGWriteGamma;

extern bool PxMBinary;

extern int TIFFMaxDirectories;
extern bool TIFFCountDirectories;
extern int TIFFCompression;
extern bool TIFFWriteCMYK;
extern bool TIFFWhiteIsZero;
extern std::uint8_t TIFFByteOrder;
extern std::uint8_t TIFFResolutionUnit;

// A resolution as numerator and denominator.
struct TTIFFResolution {
    int Numerator = 300;
    int Denominator = 1;
};
extern TTIFFResolution TIFFXResolution;
extern TTIFFResolution TIFFYResolution;

// Sets every setting above to its default.
void SetDefaultCodecOptions();

// Clamp of -510..510 to 0..255, for sums of a channel and a diffused error
// or a filter offset.
constexpr int ClampTableMin = -510;
constexpr int ClampTableMax = 510;
extern std::array<std::int32_t, ClampTableMax - ClampTableMin + 1> ClampTable;
void InitClampTable();
inline std::int32_t ClampByTable(int i) { return ClampTable[static_cast<std::size_t>(i - ClampTableMin)]; }

} // namespace lumeno
