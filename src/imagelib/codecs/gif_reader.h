#pragma once
// The library's reader of GIF87a and GIF89a files (gif): one frame, chosen by
// Index, at its own size with its own colour table. Frame offsets,
// transparency and disposal are left to the animated GIF control.

#include "imagelib/file_format_reader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

// One parse of a file: what the blocks so far have told.
struct TGifParseState {
    std::vector<std::uint8_t> Data; // the whole file
    std::size_t Position = 0;
    std::string Version;
    std::array<std::uint8_t, 768> GlobalTable{};
    int GlobalBits = 0; // 0: no global table
    int ImageCount = 0;
    int Requested = 0; // image number, from 1
    bool InfoOnly = false;
    TPixelGraphic* Graphic = nullptr;
    // The requested frame.
    int Width = 0;
    int Height = 0;
    int Bits = 0;
    int MaxBits = 0;
    bool AnyInterlaced = false;
    bool Aborted = false;
};

class tGifFileFormatReader : public TFileFormatReader {
public:
    tGifFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;

protected:
    // Reads the image descriptor at State.Position and decodes, measures or
    // skips its frame; false when no descriptor is there.
    virtual bool Decode(TGifParseState& State) const;

private:
    bool Parse(TStream& Stream, TGifParseState& State) const;
};

// Adds the GIF reader to the registry; the program calls it after the
// library's own start-up.
void PGGifStartup();

} // namespace lumeno
