#include "imagelib/codecs/pnm_writer.h"

#include "imagelib/codecs/codec_io.h"
#include "imagelib/codecs/red_blue_swap.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "platform/stream.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace lumeno {

namespace {

// Collects output and hands it to the stream in large pieces.
class TOutputBuffer {
public:
    explicit TOutputBuffer(TStream& stream) : stream_(stream) { data_.reserve(Capacity); }

    void Put(const void* bytes, std::size_t count)
    {
        if (data_.size() + count > Capacity)
            Flush();
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        data_.insert(data_.end(), p, p + count);
    }
    void Put(const std::string& text) { Put(text.data(), text.size()); }
    // Room for Count bytes at the end, for the caller to fill.
    std::uint8_t* Extend(std::size_t count)
    {
        if (data_.size() + count > Capacity)
            Flush();
        const std::size_t at = data_.size();
        data_.resize(at + count);
        return data_.data() + at;
    }
    void Put(char c)
    {
        if (data_.size() == Capacity)
            Flush();
        data_.push_back(static_cast<std::uint8_t>(c));
    }
    void Flush()
    {
        if (!data_.empty())
            stream_.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
        data_.clear();
    }

private:
    static constexpr std::size_t Capacity = 1024 * 1024;
    TStream& stream_;
    std::vector<std::uint8_t> data_;
};

// "0" .. "255".
const std::array<std::string, 256>& DecimalTexts()
{
    static const std::array<std::string, 256> texts = [] {
        std::array<std::string, 256> t;
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = std::to_string(i);
        return t;
    }();
    return texts;
}

// The image must be what the format stores.
bool Matches(char kind, TPixelGraphic& g)
{
    switch (kind) {
    case 'b':
        return g.GetPixelFormat() == pf1Bit && g.GetPaletteType() == pBlackWhite;
    case 'g':
        return g.GetPixelFormat() == pf8Bit && g.GetPaletteType() == pGray256;
    default:
        return g.GetPixelFormat() == pf24Bit;
    }
}

class TPxMEncoder {
public:
    TPxMEncoder(TStream& stream, TPixelGraphic& g, char kind)
        : out_(stream), g_(g), kind_(kind), binary_(PxMBinary)
    {
    }

    void Run()
    {
        WriteHeader();
        const int height = g_.GetHeight();
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = g_.GetScanLine(y);
            if (binary_)
                WriteBinaryRow(row);
            else
                WriteAsciiRow(row);
            g_.Progress(y, height);
        }
        out_.Flush();
    }

private:
    void WriteHeader()
    {
        const char digit = static_cast<char>((kind_ == 'b'   ? '1'
                                              : kind_ == 'g' ? '2'
                                                             : '3') +
                                             (binary_ ? 3 : 0));
        out_.Put(std::string("P") + digit + "\n" + std::to_string(g_.GetWidth()) + " " +
                 std::to_string(g_.GetHeight()) + "\n");
        if (kind_ != 'b')
            out_.Put("255\n");
    }

    void WriteBinaryRow(const std::uint8_t* row);
    void WriteAsciiRow(const std::uint8_t* row);

    TOutputBuffer out_;
    TPixelGraphic& g_;
    const char kind_; // 'b', 'g' or 'p'
    const bool binary_;
};

void TPxMEncoder::WriteBinaryRow(const std::uint8_t* row)
{
    const auto width = static_cast<std::size_t>(g_.GetWidth());
    if (kind_ == 'b') {
        const std::size_t n = (width + 7) / 8;
        std::uint8_t* out = out_.Extend(n);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<std::uint8_t>(row[i] ^ 0xFF);
    } else if (kind_ == 'g') {
        out_.Put(row, width);
    } else {
        SwapRedBlue(row, out_.Extend(width * 3), width);
    }
}

void TPxMEncoder::WriteAsciiRow(const std::uint8_t* row)
{
    const auto& text = DecimalTexts();
    const int width = g_.GetWidth();
    for (int x = 0; x < width; ++x) {
        if (x > 0)
            out_.Put(' ');
        if (kind_ == 'b') {
            out_.Put((row[x >> 3] >> (7 - (x & 7)) & 1) == 0 ? '1' : '0');
        } else if (kind_ == 'g') {
            out_.Put(text[row[x]]);
        } else {
            const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x) * 3;
            out_.Put(text[p[2]]);
            out_.Put(' ');
            out_.Put(text[p[1]]);
            out_.Put(' ');
            out_.Put(text[p[0]]);
        }
    }
    out_.Put('\n');
}

} // namespace

TPXMFileFormatWriter::TPXMFileFormatWriter(std::string extension, std::string description, int resolution)
    : TFileFormatWriter(std::move(extension), std::move(description))
{
    CanWriteResolutions.set(static_cast<std::size_t>(resolution));
}

void TPXMFileFormatWriter::Write(TStream& Stream, TPixelGraphic& Graphic) const
{
    char kind;
    if (Extension == "pbm")
        kind = 'b';
    else if (Extension == "pgm")
        kind = 'g';
    else if (Extension == "ppm")
        kind = 'p';
    else
        PxMWriterErrors.RaiseMessage(msgUnknownExtension, Extension);
    if (Graphic.GetWidth() < 1 || Graphic.GetHeight() < 1)
        PxMWriterErrors.RaiseMessage(msgZeroSize);
    if (!Matches(kind, Graphic))
        PxMWriterErrors.RaiseMessage(msgInvalidColorRes);
    TCodecProgressScope progress(Graphic);
    TPxMEncoder(Stream, Graphic, kind).Run();
}

} // namespace lumeno
