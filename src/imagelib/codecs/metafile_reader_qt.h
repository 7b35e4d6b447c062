#pragma once
// Readers of Windows metafiles (wmf) and enhanced metafiles (emf): the file
// is loaded into the platform's metafile object and played onto the image.

#include "imagelib/file_format_reader.h"

#include <array>
#include <cstdint>

namespace lumeno {

class TMetafile;

class tWMFFileFormatReader : public TFileFormatReader {
public:
    tWMFFileFormatReader();

    bool CanRead(TFileHeader Header) const override;
    void Read(TStream& Stream, TPixelGraphic& Graphic, int Index) const override;
    void GetInfo(TStream& Stream, int Index, std::string& SubFormat, std::string& Remarks, int& Width,
                 int& Height, std::string& Colors, int& BitCount, int& ImageCount) const override;

    // False for wmf, true for emf.
    const bool Enhanced;

protected:
    tWMFFileFormatReader(std::string extension, std::string description, bool enhanced);

private:
    // Loads the stream's metafile; false when it cannot be loaded. Placeable
    // tells whether a Windows metafile's own placeable header was used.
    bool LoadMetafile(TStream& Stream, TMetafile& Metafile, bool& Placeable) const;
};

class tEMFFileFormatReader : public tWMFFileFormatReader {
public:
    tEMFFileFormatReader();
};

// A placeable header for a Windows metafile: the key, the box and units
// per inch of Own (when given) made valid, and its checksum. Missing units
// per inch become the screen's, as PGMetaStartup found it.
std::array<std::uint8_t, 22> SynthesizePlaceableHeader(const std::uint8_t* Own);

// Adds the metafile readers to the registry; the program calls it on the
// GUI thread after the library's own start-up.
void PGMetaStartup();

} // namespace lumeno
