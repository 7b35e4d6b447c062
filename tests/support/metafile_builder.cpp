#include "support/metafile_builder.h"

#include <cstring>

namespace lumeno::test {

void Add16(TBytes& bytes, int value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

void Add32(TBytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i) & 0xFF));
}

void AddF32(TBytes& bytes, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Add32(bytes, bits);
}

TBytes PackedDIB24(int width, int height, const std::vector<std::uint32_t>& pixels)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    TBytes dib;
    Add32(dib, 40);
    Add32(dib, static_cast<std::uint32_t>(width));
    Add32(dib, static_cast<std::uint32_t>(height));
    Add16(dib, 1);
    Add16(dib, 24);
    for (int i = 0; i < 6; ++i)
        Add32(dib, i == 1 ? static_cast<std::uint32_t>(stride * height) : 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = pixels[static_cast<std::size_t>(y * width + x)];
            dib.push_back(static_cast<std::uint8_t>(c & 0xFF));
            dib.push_back(static_cast<std::uint8_t>(c >> 8 & 0xFF));
            dib.push_back(static_cast<std::uint8_t>(c >> 16 & 0xFF));
        }
        dib.resize(dib.size() + static_cast<std::size_t>(stride - width * 3));
    }
    return dib;
}

TBytes PlaceableHeader(int left, int top, int right, int bottom, int inch)
{
    TBytes h;
    Add32(h, 0x9AC6CDD7);
    Add16(h, 0);
    for (int v : {left, top, right, bottom, inch})
        Add16(h, v);
    Add32(h, 0);
    int sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= h[2 * i] | h[2 * i + 1] << 8;
    Add16(h, sum);
    return h;
}

TWMFBuilder& TWMFBuilder::Words(std::uint16_t function, const std::vector<int>& params)
{
    TBytes bytes;
    for (int v : params)
        Add16(bytes, v);
    return Raw(function, std::move(bytes));
}

TWMFBuilder& TWMFBuilder::Raw(std::uint16_t function, TBytes params)
{
    if (params.size() % 2)
        params.push_back(0);
    TBytes record;
    Add32(record, static_cast<std::uint32_t>(3 + params.size() / 2));
    Add16(record, function);
    record.insert(record.end(), params.begin(), params.end());
    records_.push_back(std::move(record));
    return *this;
}

TBytes TWMFBuilder::Build(int objects, int type, bool eof) const
{
    std::size_t words = 9 + (eof ? 3 : 0), largest = 3;
    for (const TBytes& r : records_) {
        words += r.size() / 2;
        largest = std::max(largest, r.size() / 2);
    }
    TBytes out;
    Add16(out, type);
    Add16(out, 9);
    Add16(out, 0x0300);
    Add32(out, static_cast<std::uint32_t>(words));
    Add16(out, objects);
    Add32(out, static_cast<std::uint32_t>(largest));
    Add16(out, 0);
    for (const TBytes& r : records_)
        out.insert(out.end(), r.begin(), r.end());
    if (eof) {
        Add32(out, 3);
        Add16(out, 0);
    }
    return out;
}

TEMFBuilder::TEMFBuilder(int frameRight, int frameBottom) : frameRight_(frameRight), frameBottom_(frameBottom)
{
}

TEMFBuilder& TEMFBuilder::Record(std::uint32_t type, const TBytes& params)
{
    TBytes record;
    Add32(record, type);
    Add32(record, static_cast<std::uint32_t>(8 + (params.size() + 3) / 4 * 4));
    record.insert(record.end(), params.begin(), params.end());
    record.resize(8 + (params.size() + 3) / 4 * 4);
    records_.push_back(std::move(record));
    return *this;
}

TEMFBuilder& TEMFBuilder::Ints(std::uint32_t type, const std::vector<std::int32_t>& params)
{
    TBytes bytes;
    for (std::int32_t v : params)
        Add32(bytes, static_cast<std::uint32_t>(v));
    return Record(type, bytes);
}

TBytes TEMFBuilder::Build(int handles, const std::vector<std::uint32_t>& palette, int headerSize) const
{
    TBytes eof;
    Add32(eof, 14);
    Add32(eof, static_cast<std::uint32_t>(20 + 4 * palette.size()));
    Add32(eof, static_cast<std::uint32_t>(palette.size()));
    Add32(eof, 16);
    for (std::uint32_t c : palette)
        Add32(eof, c);
    Add32(eof, static_cast<std::uint32_t>(20 + 4 * palette.size()));

    std::size_t total = static_cast<std::size_t>(headerSize) + eof.size();
    for (const TBytes& r : records_)
        total += r.size();
    TBytes out;
    Add32(out, 1);
    Add32(out, static_cast<std::uint32_t>(headerSize));
    // Bounds in device pixels, frame in hundredths of a millimetre.
    for (int v : {0, 0, frameRight_ * 96 / 2540, frameBottom_ * 96 / 2540, 0, 0, frameRight_, frameBottom_})
        Add32(out, static_cast<std::uint32_t>(v));
    Add32(out, 0x464D4520);
    Add32(out, 0x10000);
    Add32(out, static_cast<std::uint32_t>(total));
    Add32(out, static_cast<std::uint32_t>(records_.size() + 2));
    Add16(out, handles);
    Add16(out, 0);
    Add32(out, 0);
    Add32(out, 0);
    Add32(out, static_cast<std::uint32_t>(palette.size()));
    // A 96 dpi reference device: 1000 pixels on 264.583 mm, given as
    // 960 pixels on 254 mm.
    for (int v : {960, 960, 254, 254})
        Add32(out, static_cast<std::uint32_t>(v));
    out.resize(static_cast<std::size_t>(headerSize));
    for (const TBytes& r : records_)
        out.insert(out.end(), r.begin(), r.end());
    out.insert(out.end(), eof.begin(), eof.end());
    return out;
}

} // namespace lumeno::test
