#pragma once
// What every codec shares: its error reporting (format prefix + library
// message, raised as the format's own exception), a bounded byte reader that
// turns a short read into "Unexpected end of file", byte-order helpers, the
// image-size check and the handling of codec warnings.

#include "imagelib/pg_exceptions.h"
#include "imagelib/pg_messages.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <vector>

namespace lumeno {

// Raises a codec's errors: the format prefix ("BMP: ") and then the text.
class TCodecErrors {
public:
    explicit TCodecErrors(std::string prefix) : prefix_(std::move(prefix)) {}
    virtual ~TCodecErrors() = default;

    const std::string& Prefix() const { return prefix_; }
    [[noreturn]] void Raise(const std::string& text) const { std::rethrow_exception(Make(Prefix() + text)); }
    [[noreturn]] void RaiseMessage(int id) const { Raise(GetPGLangStr(id)); }
    [[noreturn]] void RaiseMessage(int id, const std::string& s1) const { Raise(GetPGLangStrS1(id, s1)); }

protected:
    virtual std::exception_ptr Make(const std::string& message) const = 0;

private:
    std::string prefix_;
};

template <class E>
class TCodecErrorsOf final : public TCodecErrors {
public:
    using TCodecErrors::TCodecErrors;

protected:
    std::exception_ptr Make(const std::string& message) const override { return std::make_exception_ptr(E(message)); }
};

// Each format's exception class with its prefix.
inline const TCodecErrorsOf<EPGBMPFileFormatReader> BMPErrors("BMP: ");
inline const TCodecErrorsOf<EPGJPGFileFormatReaderWriter> JPGErrors("JPG: ");
inline const TCodecErrorsOf<EPGPNGFileFormatReaderWriter> PNGErrors("PNG: ");
inline const TCodecErrorsOf<EPGPCXFileFormatReader> PCXErrors("PCX: ");
inline const TCodecErrorsOf<EPGPxMFileFormatReader> PxMReaderErrors("PBM, PGM, PPM: ");
inline const TCodecErrorsOf<EPGPxMFileFormatWriter> PxMWriterErrors("PBM, PGM, PPM: ");
inline const TCodecErrorsOf<EPGTGAFileFormatReader> TGAErrors("TGA: ");
inline const TCodecErrorsOf<EPGTIFFileFormatReader> TIFFReaderErrors("TIFF: ");
inline const TCodecErrorsOf<EPGTIFFileFormatWriter> TIFFWriterErrors("TIFF: ");

// Library messages the codecs use by number.
constexpr int msgInvalid = 7;            // "%S1 invalid"
constexpr int msgUnknownExtension = 19;  // "Unknown file extension "%S1""
constexpr int msgInvalidValue = 20;      // "Invalid value for %S1"
constexpr int msgInvalidSize = 27;       // "Invalid size of %S1"
constexpr int msgWarning = 28;           // "Warning"
constexpr int msgAborted = 29;           // "Operation aborted on user request"
constexpr int msgNotSupported = 30;      // "Not supported subformat"
constexpr int msgUnexpectedEnd = 32;     // "Unexpected end of file"
constexpr int msgUnknownSubformat = 33;  // "Unknown subformat"
constexpr int msgNotAFile = 34;          // "Not a %S1 file"
constexpr int msgZeroSize = 35;          // "Width = 0 or Height = 0"
constexpr int msgInvalidColorRes = 36;   // "Invalid color resolution"

// Reads at most a fixed number of bytes from the stream's position; a read
// beyond them, or beyond the stream's end, raises message 32.
class TCodecReader {
public:
    // limit < 0: up to the stream's end.
    TCodecReader(TStream& stream, const TCodecErrors& errors, std::int64_t limit = -1);

    void Read(void* buffer, std::int64_t count);
    void Skip(std::int64_t count);
    std::uint8_t U8();
    std::uint16_t U16LE();
    std::uint32_t U32LE();
    std::int32_t I32LE() { return static_cast<std::int32_t>(U32LE()); }
    std::uint16_t U16BE();
    std::uint32_t U32BE();

    std::int64_t Remaining() const { return end_ - position_; }
    std::int64_t Position() const { return position_; }
    TStream& Stream() { return stream_; }
    const TCodecErrors& Errors() const { return errors_; }

private:
    void Need(std::int64_t count) const;

    TStream& stream_;
    const TCodecErrors& errors_;
    std::int64_t position_;
    std::int64_t end_;
};

// A byte reader for decoders that take their data a few bytes at a time:
// it refills a buffer from a TCodecReader, so a byte beyond the data raises
// message 32 like any other short read.
class TCodecByteReader {
public:
    TCodecByteReader(TStream& stream, const TCodecErrors& errors, std::int64_t limit = -1);

    std::uint8_t U8()
    {
        if (next_ == end_)
            Refill();
        return *next_++;
    }
    // The next byte without taking it; -1 at the end of the data.
    int Peek()
    {
        if (next_ == end_ && !TryRefill())
            return -1;
        return *next_;
    }
    void Read(void* buffer, std::int64_t count);
    void Skip(std::int64_t count);
    std::int64_t Remaining() const { return (end_ - next_) + in_.Remaining(); }

    // The bytes buffered ahead, refilled when none are left (empty at the end
    // of the data), for decoders that walk them with a pointer; Take hands
    // back how many were used.
    std::span<const std::uint8_t> Window()
    {
        if (next_ == end_)
            TryRefill();
        return {next_, end_};
    }
    void Take(std::size_t count) { next_ += count; }

private:
    void Refill();
    bool TryRefill();

    TCodecReader in_;
    std::vector<std::uint8_t> buffer_;
    const std::uint8_t* next_ = nullptr;
    const std::uint8_t* end_ = nullptr;
};

inline std::uint16_t GetU16LE(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t GetU32LE(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint16_t GetU16BE(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
inline std::uint32_t GetU32BE(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}
void PutU16LE(std::uint8_t* p, std::uint16_t v);
void PutU32LE(std::uint8_t* p, std::uint32_t v);
void PutU16BE(std::uint8_t* p, std::uint16_t v);
void PutU32BE(std::uint8_t* p, std::uint32_t v);


// Bytes per row of a bottom-up DIB: rows padded to 32 bits.
constexpr std::int64_t DIBStride(std::int64_t width, int bitsPerPixel)
{
    return (bitsPerPixel * width + 31) / 32 * 4;
}

// Raises message 27 for "image" when a width × height picture of that depth
// is negative, its pixel memory would reach ImageSizeLimit, or would pass
// the capacity of the thread's memory budget.
void CheckImageSize(const TCodecErrors& errors, std::int64_t width, std::int64_t height, int bitsPerPixel);

// A description's colour count for a palette depth (1, 4 or 8 bits);
// otherwise for any other depth.
std::string ColorCountText(int bitCount, const std::string& otherwise);

// Brackets a decoder's pixel work with the graphic's start and end progress
// events, also when the work fails.
class TCodecProgressScope {
public:
    explicit TCodecProgressScope(TPixelGraphic& graphic) : graphic_(graphic) { graphic_.ProgressStart(); }
    ~TCodecProgressScope() { graphic_.ProgressEnd(); }
    TCodecProgressScope(const TCodecProgressScope&) = delete;
    TCodecProgressScope& operator=(const TCodecProgressScope&) = delete;

private:
    TPixelGraphic& graphic_;
};

// A codec warning, handled by the graphic's warning action: ignored, shown
// with OK, asked with OK/Cancel (anything but OK raises message 29), or
// raised as the codec's error.
void HandleCodecWarning(TPGWarningAction action, const TCodecErrors& errors, const std::string& caption,
                        const std::string& text);

} // namespace lumeno
