#include "support/avi_clip.h"

#include "support/test_env.h"

#include <cstring>

namespace lumeno::test {
namespace {

class Writer {
public:
    std::vector<unsigned char> Data;

    void FourCC(const char* id) { Data.insert(Data.end(), id, id + 4); }
    void U16(unsigned v)
    {
        Data.push_back(v & 0xFF);
        Data.push_back((v >> 8) & 0xFF);
    }
    void U32(std::uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // Opens a chunk (or a list, with its type); Close fills in the size.
    std::size_t Begin(const char* id, const char* listType = nullptr)
    {
        FourCC(id);
        const std::size_t at = Data.size();
        U32(0);
        if (listType)
            FourCC(listType);
        return at;
    }
    void End(std::size_t at)
    {
        const std::uint32_t size = static_cast<std::uint32_t>(Data.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            Data[at + i] = (size >> (8 * i)) & 0xFF;
        if (size & 1)
            Data.push_back(0);
    }
};

int RowBytes(int width)
{
    return (width * 3 + 3) & ~3;
}

} // namespace

std::uint32_t AviClip::DefaultPixel(std::uint32_t n, int x, int y)
{
    return ((n * 40) & 0xFF) << 16 | ((x * 60) & 0xFF) << 8 | ((y * 90) & 0xFF);
}

std::int16_t AviClip::SampleValue(std::int64_t i, int c)
{
    return static_cast<std::int16_t>((i * 37 + c * 1000) % 20000 - 10000);
}

std::int64_t AviClip::SamplesPerFrame() const
{
    return Rate == 0 ? 0 : std::int64_t(SampleRate) * Scale / Rate;
}

std::vector<unsigned char> AviClip::Bytes() const
{
    const std::uint32_t frameBytes = RowBytes(Width) * Height;
    const unsigned blockAlign = 2 * Channels;
    const bool sound = SampleRate > 0;
    Writer w;
    const auto riff = w.Begin("RIFF", "AVI ");
    const auto hdrl = w.Begin("LIST", "hdrl");
    const auto avih = w.Begin("avih");
    w.U32(Rate ? std::uint32_t(1000000ull * Scale / Rate) : 0);
    w.U32(0);
    w.U32(0);
    w.U32(0x10); // has an index
    w.U32(Frames);
    w.U32(0);
    w.U32(sound ? 2 : 1);
    w.U32(frameBytes);
    w.U32(Width);
    w.U32(Height);
    for (int i = 0; i < 4; ++i)
        w.U32(0);
    w.End(avih);

    const auto vstrl = w.Begin("LIST", "strl");
    const auto vstrh = w.Begin("strh");
    w.FourCC("vids");
    w.FourCC("DIB ");
    w.U32(0);
    w.U32(0);
    w.U32(0);
    w.U32(Scale);
    w.U32(Rate);
    w.U32(0);
    w.U32(Frames);
    w.U32(frameBytes);
    w.U32(0xFFFFFFFF);
    w.U32(0);
    w.U16(0);
    w.U16(0);
    w.U16(Width);
    w.U16(Height);
    w.End(vstrh);
    const auto vstrf = w.Begin("strf");
    w.U32(40);
    w.U32(Width);
    w.U32(Height); // bottom-up
    w.U16(1);
    w.U16(24);
    w.U32(0);
    w.U32(frameBytes);
    for (int i = 0; i < 4; ++i)
        w.U32(0);
    w.End(vstrf);
    w.End(vstrl);

    if (sound) {
        const auto astrl = w.Begin("LIST", "strl");
        const auto astrh = w.Begin("strh");
        w.FourCC("auds");
        w.U32(0);
        w.U32(0);
        w.U32(0);
        w.U32(0);
        w.U32(blockAlign);
        w.U32(SampleRate * blockAlign);
        w.U32(0);
        w.U32(static_cast<std::uint32_t>(SamplesPerFrame() * Frames));
        w.U32(0);
        w.U32(0xFFFFFFFF);
        w.U32(blockAlign);
        for (int i = 0; i < 4; ++i)
            w.U16(0);
        w.End(astrh);
        const auto astrf = w.Begin("strf");
        w.U16(1);
        w.U16(Channels);
        w.U32(SampleRate);
        w.U32(SampleRate * blockAlign);
        w.U16(blockAlign);
        w.U16(16);
        w.End(astrf);
        w.End(astrl);
    }
    w.End(hdrl);

    struct Entry {
        const char* Id;
        std::uint32_t Offset, Size;
    };
    std::vector<Entry> index;
    const auto movi = w.Begin("LIST", "movi");
    const std::size_t moviType = movi + 4;
    std::int64_t sample = 0;
    for (std::uint32_t n = 0; n < Frames; ++n) {
        const auto at = w.Begin("00db");
        for (int row = Height - 1; row >= 0; --row) {
            for (int x = 0; x < Width; ++x) {
                const std::uint32_t c = Pixel(n, x, row);
                w.Data.push_back(c & 0xFF);
                w.Data.push_back((c >> 8) & 0xFF);
                w.Data.push_back((c >> 16) & 0xFF);
            }
            w.Data.resize(w.Data.size() + RowBytes(Width) - Width * 3, 0);
        }
        w.End(at);
        index.push_back({"00db", std::uint32_t(at - 4 - moviType), frameBytes});
        if (!sound)
            continue;
        const auto a = w.Begin("01wb");
        for (std::int64_t i = 0; i < SamplesPerFrame(); ++i, ++sample)
            for (int c = 0; c < Channels; ++c)
                w.U16(static_cast<std::uint16_t>(SampleValue(sample, c)));
        w.End(a);
        index.push_back(
            {"01wb", std::uint32_t(a - 4 - moviType), std::uint32_t(SamplesPerFrame() * blockAlign)});
    }
    w.End(movi);
    const auto idx1 = w.Begin("idx1");
    for (const Entry& e : index) {
        w.FourCC(e.Id);
        w.U32(0x10);
        w.U32(e.Offset);
        w.U32(e.Size);
    }
    w.End(idx1);
    w.End(riff);
    return w.Data;
}

void AviClip::Write(const std::string& path) const
{
    WriteFileBytes(path, Bytes());
}

} // namespace lumeno::test
