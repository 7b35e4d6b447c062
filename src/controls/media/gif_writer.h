#pragma once
// Writes GIF89a files: one image, or an animation with per-frame position,
// delay, disposal, interlacing, transparency and comments.

#include "platform/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

class TPixelGraphic;
class TStream;

struct TFrameInfo {
    TPixelGraphic* Bitmap = nullptr;
    int Left = 0;
    int Top = 0;
    int Width = 0; // taken from the bitmap when writing
    int Height = 0;
    int Delay = 0; // milliseconds
    bool Interlaced = false;
    bool Transparent = false;
    TColor TransparentColor = 0;
    int Disposal = 0;
    std::string Comment;
};

struct TGIFSaveData {
    std::vector<TFrameInfo> Frames;
    std::uint16_t LoopCount = 0;
    // One colour table for all frames; switched off by the writer when the
    // frames together have more than 256 colours.
    bool GlobalTable = true;
};

// Writer status values.
constexpr std::uint8_t gwsOk = 0;
constexpr std::uint8_t gwsWriting = 2;
constexpr std::uint8_t gwsTooManyColors = 4;
constexpr std::uint8_t gwsIndexing = 6;

class TGIFWriter {
public:
    // Writes the whole file; false (and nothing written) when a frame has
    // more than 256 colours or no pixels.
    bool Encode(TGIFSaveData& Data, TStream& Stream);
    std::uint8_t Status() const { return status_; }

private:
    struct TIndexedFrame {
        std::vector<std::uint8_t> Indices;
        std::vector<std::uint32_t> Table; // empty when the frame uses the global table
        bool HasTransparentIndex = false;
        std::uint8_t TransparentIndex = 0;
    };

    bool IndexFrames(TGIFSaveData& Data);
    bool IndexShared(TGIFSaveData& Data);
    bool IndexSeparately(TGIFSaveData& Data);
    void WriteFrame(const TFrameInfo& Frame, const TIndexedFrame& Indexed, TStream& Stream) const;

    std::uint8_t status_ = gwsOk;
    std::vector<TIndexedFrame> indexed_;
    std::vector<std::uint32_t> globalTable_;
};

// Saves one image; false when it has more than 256 colours, and then no
// file is written and an existing one is kept.
bool SaveBitmapAsGIF(const std::string& FileName, TPixelGraphic& Bitmap, bool Interlaced,
                     TColor TransparentColor, bool Transparent);

} // namespace lumeno
