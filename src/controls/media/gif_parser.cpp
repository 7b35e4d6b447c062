#include "controls/media/gif_parser.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

namespace {

// All frames together may hold this many index bytes.
constexpr std::size_t kPixelBudget = std::size_t{512} << 20;
// The composed picture takes four bytes a pixel.
constexpr std::int64_t kMaxScreenPixels = std::int64_t{1} << 26;
// A screen up to this size is taken as declared; a larger one only when the
// frames hold as many pixels, so that a few bytes of file cannot make the
// control compose a screen far beyond what it decoded.
constexpr std::int64_t kFreeScreenPixels = std::int64_t{1} << 22;

void Report(const TGIFParser::TProgress& progress, std::size_t position, std::size_t size)
{
    if (progress && !progress(static_cast<std::int64_t>(position), static_cast<std::int64_t>(size)))
        throw EGIFAbort("Reading of the GIF image was stopped");
}

} // namespace

void TGIFParser::Parse(const std::vector<std::uint8_t>& data, bool firstImageOnly, const TProgress& progress)
{
    TGIFReader reader(data);
    pixelBudget_ = kPixelBudget;
    ReadHeader(reader);
    while (!reader.AtEnd()) {
        Report(progress, reader.Position(), reader.Size());
        const std::uint8_t introducer = reader.Byte();
        if (introducer == 0x3B)
            break;
        try {
            if (introducer == 0x21) {
                ReadExtension(reader);
            } else if (introducer == 0x2C) {
                reader.Back(1);
                if (!ReadFrame(reader, progress) || (firstImageOnly && !Frames.empty()))
                    break;
            }
            // Stray bytes between blocks are passed over.
        } catch (const EGIFAbort&) {
            throw;
        } catch (const EGIFImage&) {
            if (Frames.empty())
                throw;
            break; // a damaged tail leaves the frames before it
        }
    }
    if (Frames.empty())
        throw EGIFImage("The GIF file holds no image");
    FitScreen();
    const std::int64_t screen = std::int64_t{ScreenWidth} * ScreenHeight;
    if (ScreenWidth > kGIFMaxSide || ScreenHeight > kGIFMaxSide || screen > kMaxScreenPixels ||
        (screen > kFreeScreenPixels && screen > FramePixels()))
        throw EGIFImage("GIF image too large");
}

std::int64_t TGIFParser::FramePixels() const
{
    std::int64_t pixels = 0;
    for (const auto& frame : Frames)
        pixels += std::int64_t{frame->Width} * frame->Height;
    return pixels;
}

void TGIFParser::ReadHeader(TGIFReader& reader)
{
    char signature[6];
    if (reader.Size() < 13)
        throw EGIFImage("Not a GIF file");
    reader.Read(signature, 6);
    if (std::memcmp(signature, "GIF", 3) != 0)
        throw EGIFImage("Not a GIF file");
    Version = signature[4] == '9' ? TGIFVersion::gvGIF89a : TGIFVersion::gvGIF87a;
    ScreenWidth = reader.Word();
    ScreenHeight = reader.Word();
    const std::uint8_t flags = reader.Byte();
    reader.Skip(2); // background, aspect
    GlobalTable.fill(0);
    if (flags & 0x80)
        reader.Read(GlobalTable.data(), (std::size_t{1} << ((flags & 7) + 1)) * 3);
}

void TGIFParser::ReadExtension(TGIFReader& reader)
{
    const std::uint8_t label = reader.Byte();
    if (label == 0xF9) {
        std::vector<std::uint8_t> block;
        reader.ReadSubBlocks(block);
        if (block.size() >= 4) {
            control_.Present = true;
            control_.Flags = block[0];
            control_.Delay = static_cast<std::uint16_t>(block[1] | block[2] << 8);
            control_.TransparentIndex = block[3];
        }
    } else if (label == 0xFE) {
        std::vector<std::uint8_t> text;
        reader.ReadSubBlocks(text);
        comment_.assign(text.begin(), text.end());
    } else if (label == 0xFF) {
        ReadApplication(reader);
    } else {
        reader.SkipSubBlocks();
    }
}

void TGIFParser::ReadApplication(TGIFReader& reader)
{
    std::vector<std::uint8_t> block;
    reader.ReadSubBlocks(block);
    // The identifier block and the first data sub-block come out joined:
    // 11 bytes "NETSCAPE2.0", then 1 and the 16-bit loop count.
    if (block.size() >= 14 && std::memcmp(block.data(), "NETSCAPE2.0", 11) == 0 && block[11] == 1)
        LoopCount = block[12] | block[13] << 8;
}

bool TGIFParser::ReadFrame(TGIFReader& reader, const TProgress& progress)
{
    if (Frames.size() >= kGIFMaxFrames)
        return false;
    auto frame = std::make_unique<TGIFFrame>();
    const std::size_t size = reader.Size();
    const auto result = frame->Read(reader, control_, GlobalTable, pixelBudget_,
                                    [&](std::size_t position) { Report(progress, position, size); });
    if (result == TGIFFrame::TReadResult::rrFailed)
        return false;
    frame->Comment = std::move(comment_);
    comment_.clear();
    control_ = {};
    Frames.push_back(std::move(frame));
    return result == TGIFFrame::TReadResult::rrOk;
}

// A screen of no size takes the extent of the frames, so they stay visible.
void TGIFParser::FitScreen()
{
    if (ScreenWidth > 0 && ScreenHeight > 0)
        return;
    for (const auto& frame : Frames) {
        ScreenWidth = std::max(ScreenWidth, std::min(frame->Left + frame->Width, 65535));
        ScreenHeight = std::max(ScreenHeight, std::min(frame->Top + frame->Height, 65535));
    }
}

} // namespace lumeno
