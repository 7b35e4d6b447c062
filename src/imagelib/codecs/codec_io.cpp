#include "imagelib/codecs/codec_io.h"

#include "imagelib/memory_budget.h"
#include "platform/dialogs.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

TCodecReader::TCodecReader(TStream& stream, const TCodecErrors& errors, std::int64_t limit)
    : stream_(stream), errors_(errors), position_(stream.GetPosition())
{
    const std::int64_t toEnd = std::max<std::int64_t>(stream.GetSize() - position_, 0);
    end_ = position_ + (limit < 0 ? toEnd : std::min(limit, toEnd));
}

void TCodecReader::Need(std::int64_t count) const
{
    if (count < 0 || count > end_ - position_)
        errors_.RaiseMessage(msgUnexpectedEnd);
}

void TCodecReader::Read(void* buffer, std::int64_t count)
{
    Need(count);
    if (stream_.Read(buffer, count) != count)
        errors_.RaiseMessage(msgUnexpectedEnd);
    position_ += count;
}

void TCodecReader::Skip(std::int64_t count)
{
    Need(count);
    position_ += count;
    stream_.SetPosition(position_);
}

std::uint8_t TCodecReader::U8()
{
    std::uint8_t b;
    Read(&b, 1);
    return b;
}

std::uint16_t TCodecReader::U16LE()
{
    std::uint8_t b[2];
    Read(b, 2);
    return GetU16LE(b);
}

std::uint32_t TCodecReader::U32LE()
{
    std::uint8_t b[4];
    Read(b, 4);
    return GetU32LE(b);
}

std::uint16_t TCodecReader::U16BE()
{
    std::uint8_t b[2];
    Read(b, 2);
    return GetU16BE(b);
}

std::uint32_t TCodecReader::U32BE()
{
    std::uint8_t b[4];
    Read(b, 4);
    return GetU32BE(b);
}

namespace {
constexpr std::int64_t ByteReaderBufferSize = 64 * 1024;
// Reads at least this long skip the buffer.
constexpr std::int64_t ByteReaderDirectRead = 4 * 1024;
}

TCodecByteReader::TCodecByteReader(TStream& stream, const TCodecErrors& errors, std::int64_t limit)
    : in_(stream, errors, limit)
{
}

bool TCodecByteReader::TryRefill()
{
    const std::int64_t count = std::min(in_.Remaining(), ByteReaderBufferSize);
    if (count == 0)
        return false;
    buffer_.resize(static_cast<std::size_t>(count));
    in_.Read(buffer_.data(), count);
    next_ = buffer_.data();
    end_ = next_ + count;
    return true;
}

void TCodecByteReader::Refill()
{
    if (!TryRefill())
        in_.Errors().RaiseMessage(msgUnexpectedEnd);
}

void TCodecByteReader::Read(void* buffer, std::int64_t count)
{
    if (count < 0 || count > Remaining())
        in_.Errors().RaiseMessage(msgUnexpectedEnd);
    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::int64_t buffered = std::min<std::int64_t>(end_ - next_, count);
    if (buffered > 0)
        std::memcpy(out, next_, static_cast<std::size_t>(buffered));
    next_ += buffered;
    count -= buffered;
    // Large blocks go straight from the stream; small ones through the buffer.
    if (count >= ByteReaderDirectRead) {
        in_.Read(out + buffered, count);
    } else if (count > 0) {
        Refill();
        std::memcpy(out + buffered, next_, static_cast<std::size_t>(count));
        next_ += count;
    }
}

void TCodecByteReader::Skip(std::int64_t count)
{
    if (count < 0 || count > Remaining())
        in_.Errors().RaiseMessage(msgUnexpectedEnd);
    const std::int64_t buffered = std::min<std::int64_t>(end_ - next_, count);
    next_ += buffered;
    in_.Skip(count - buffered);
}

void PutU16LE(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32LE(std::uint8_t* p, std::uint32_t v)
{
    PutU16LE(p, static_cast<std::uint16_t>(v));
    PutU16LE(p + 2, static_cast<std::uint16_t>(v >> 16));
}

void PutU16BE(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

void PutU32BE(std::uint8_t* p, std::uint32_t v)
{
    PutU16BE(p, static_cast<std::uint16_t>(v >> 16));
    PutU16BE(p + 2, static_cast<std::uint16_t>(v));
}

void CheckImageSize(const TCodecErrors& errors, std::int64_t width, std::int64_t height, int bitsPerPixel)
{
    // Each side below the cap first keeps the product from overflowing.
    if (width < 0 || height < 0 || width >= MaxImageSize || height >= MaxImageSize ||
        DIBStride(width, bitsPerPixel) >= MaxImageSize)
        errors.RaiseMessage(msgInvalidSize, "image");
    // What the thread's memory budget could never hold is refused here, by
    // the reader, before any of the decoder's own memory is taken.
    const std::int64_t size = DIBStride(width, bitsPerPixel) * height;
    if (size >= ImageSizeLimit || size > ThreadBudgetCapacity())
        errors.RaiseMessage(msgInvalidSize, "image");
}

std::string ColorCountText(int bitCount, const std::string& otherwise)
{
    switch (bitCount) {
    case 1:
        return "2";
    case 4:
        return "16";
    case 8:
        return "256";
    default:
        return otherwise;
    }
}

void HandleCodecWarning(TPGWarningAction action, const TCodecErrors& errors, const std::string& caption,
                        const std::string& text)
{
    switch (action) {
    case TPGWarningAction::pgwaIgnore:
        return;
    case TPGWarningAction::pgwaOKBox:
        MessageBox(text, caption, MB_OK | MB_ICONWARNING);
        return;
    case TPGWarningAction::pgwaOKCancelBox:
        if (MessageBox(text, caption, MB_OKCANCEL | MB_ICONWARNING) != mrOk)
            errors.RaiseMessage(msgAborted);
        return;
    case TPGWarningAction::pgwaRaise:
        errors.Raise(text);
    }
}

} // namespace lumeno
