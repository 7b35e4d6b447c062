#include "imagelib/pg_globals.h"

#include <algorithm>

namespace lumeno {

Extended DefaultGamma = 1.8L;
bool GammaCorrectOnLoad = true;
bool BMPExpand16Bit = true;
std::uint8_t JPEGReadDCTMethod = 0;
std::uint8_t JPEGWriteDCTMethod = 2;
std::uint8_t JPEGQuality = 80;
bool JPEGProgressive = false;
bool PNGUseFileBackground = true;
bool PNGWriteGamma = true;
bool PxMBinary = false;
int TIFFMaxDirectories = 1000;
bool TIFFCountDirectories = false;
int TIFFCompression = 1;
bool TIFFWriteCMYK = false;
bool TIFFWhiteIsZero = false;
std::uint8_t TIFFByteOrder = 0;
std::uint8_t TIFFResolutionUnit = 1;
TTIFFResolution TIFFXResolution;
TTIFFResolution TIFFYResolution;

std::array<std::int32_t, ClampTableMax - ClampTableMin + 1> ClampTable{};

void SetDefaultCodecOptions()
{
    DefaultGamma = 1.8L;
    GammaCorrectOnLoad = true;
    BMPExpand16Bit = true;
    JPEGReadDCTMethod = 0;
    JPEGWriteDCTMethod = 2;
    JPEGQuality = 80;
    JPEGProgressive = false;
    PNGUseFileBackground = true;
    PNGWriteGamma = true;
    PxMBinary = false;
    TIFFMaxDirectories = 1000;
    TIFFCountDirectories = false;
    TIFFCompression = 1;
    TIFFWriteCMYK = false;
    TIFFWhiteIsZero = false;
    TIFFByteOrder = 0;
    TIFFResolutionUnit = 1;
    TIFFXResolution = TTIFFResolution{};
    TIFFYResolution = TTIFFResolution{};
}

void InitClampTable()
{
    for (int i = ClampTableMin; i <= ClampTableMax; ++i)
        ClampTable[static_cast<std::size_t>(i - ClampTableMin)] = std::clamp(i, 0, 255);
}

} // namespace lumeno
