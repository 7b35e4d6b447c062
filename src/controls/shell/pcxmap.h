#pragma once
// PCX pictures for the file-list controls' previews: 1, 2 and 4 bits in one
// layer, 16 colours in four 1-bit layers, 256 colours and 24-bit colour.

#include <QImage>

namespace lumeno {

class TStream;

class TPcxmap : public QImage {
public:
    // Decodes the stream from its position; EPcxException on a bad file.
    void LoadFromStream(TStream& stream);
};

} // namespace lumeno
