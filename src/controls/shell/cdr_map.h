#pragma once
// The preview bitmap stored in a CDR drawing (a BMP file header and a DIB
// 20 bytes into the file), for the file-list controls' previews.

#include <QImage>

namespace lumeno {

class TStream;

class TCdrMap : public QImage {
public:
    // Reads the preview at offset 20 of the stream. A preview that is
    // damaged, or larger than the 20,004 bytes kept for one, leaves the
    // picture null: the drawing has no preview then.
    void LoadFromStream(TStream& stream);
};

} // namespace lumeno
