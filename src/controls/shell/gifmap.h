#pragma once
// The first picture of a GIF file for the file-list controls' previews.

#include <QImage>

namespace lumeno {

class TStream;

class TGifmap : public QImage {
public:
    // Decodes the stream from its position; EGifException on a bad file.
    void LoadFromStream(TStream& stream);
};

} // namespace lumeno
