#pragma once
// The first picture of a TIFF file for the file-list controls' previews:
// 1, 4 and 8-bit grey or palette and 24-bit RGB, chunky strips, uncompressed,
// PackBits or LZW, in either byte order.

#include <QImage>

namespace lumeno {

class TStream;

class TTifmap : public QImage {
public:
    // Decodes the stream from its position; ETifException on a bad file.
    void LoadFromStream(TStream& stream);
};

} // namespace lumeno
