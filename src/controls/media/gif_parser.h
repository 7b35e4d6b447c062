#pragma once
// Reads a GIF87a/GIF89a file held in memory into its frames.

#include "controls/media/gif_frame.h"

#include <memory>

namespace lumeno {

enum class TGIFVersion { gvGIF87a, gvGIF89a };

constexpr int kGIFMaxFrames = 256;

class TGIFParser {
public:
    // Called at each block with the bytes read so far and the total; a
    // handler returning false stops the reading (EGIFAbort).
    using TProgress = std::function<bool(std::int64_t processed, std::int64_t total)>;

    // Raises EGIFImage when the data are no GIF image or hold no frame.
    void Parse(const std::vector<std::uint8_t>& data, bool firstImageOnly, const TProgress& progress);

    TGIFVersion Version = TGIFVersion::gvGIF87a;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    std::array<std::uint8_t, 768> GlobalTable{};
    int LoopCount = 1; // from the NETSCAPE2.0 block; 0 plays for ever
    std::vector<std::unique_ptr<TGIFFrame>> Frames;

private:
    void ReadHeader(TGIFReader& reader);
    void ReadExtension(TGIFReader& reader);
    void ReadApplication(TGIFReader& reader);
    // False when no further frame should be read.
    bool ReadFrame(TGIFReader& reader, const TProgress& progress);
    void FitScreen();
    // Pixels of all frames together.
    std::int64_t FramePixels() const;

    TGIFGraphicControl control_;
    std::string comment_;
    std::size_t pixelBudget_ = 0;
};

} // namespace lumeno
