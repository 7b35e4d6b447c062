#pragma once
// The codec options the editor's Save Options dialog shows, as one record
// read from and stored into the library's globals.

#include <cstdint>

namespace lumeno {

struct TSaveOptions {
    std::uint8_t JPEGWriteMethod = 0;
    int JPEGQuality = 80;
    bool JPEGProgressive = false;
    std::uint8_t JPEGReadMethod = 0;
    bool PxMBinary = true;
    int TIFFCompression = 1;
    std::uint8_t TIFFByteOrder = 0;
    bool TIFFWriteCMYK = false;
    bool TIFFWhiteIsZero = false;
    std::uint8_t TIFFResolutionUnit = 2;
    int ResHorizN = 300, ResHorizD = 1, ResVertN = 300, ResVertD = 1;
    bool WriteGamma = false;
    double ScreenGamma = 2.2;
    bool GammaCorrectionOnRead = false;
};

TSaveOptions ReadSaveOptions();
// Stores every option, in the dialog's order.
void StoreSaveOptions(const TSaveOptions& Options);

} // namespace lumeno
