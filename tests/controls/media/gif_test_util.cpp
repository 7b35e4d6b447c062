#include "gif_test_util.h"

#include "support/test_env.h"

#include <filesystem>

namespace lumeno::test {

namespace {

void Word(std::vector<std::uint8_t>& out, int value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

} // namespace

GifBytes::GifBytes(int width, int height, bool globalTable)
{
    for (char c : std::string("GIF89a"))
        bytes_.push_back(static_cast<std::uint8_t>(c));
    Word(bytes_, width);
    Word(bytes_, height);
    bytes_.push_back(globalTable ? 0x81 : 0x00);
    bytes_.push_back(0);
    bytes_.push_back(0);
    if (globalTable)
        Raw({0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0});
}

GifBytes& GifBytes::Control(int disposal, int delay, bool transparent, int transparentIndex)
{
    Raw({0x21, 0xF9, 4, static_cast<std::uint8_t>(disposal << 2 | (transparent ? 1 : 0))});
    Word(bytes_, delay);
    return Raw({static_cast<std::uint8_t>(transparentIndex), 0});
}

GifBytes& GifBytes::Netscape(int loops)
{
    Raw({0x21, 0xFF, 11});
    for (char c : std::string("NETSCAPE2.0"))
        bytes_.push_back(static_cast<std::uint8_t>(c));
    Raw({3, 1});
    Word(bytes_, loops);
    return Raw({0});
}

GifBytes& GifBytes::Comment(const std::string& text)
{
    Raw({0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
    for (char c : text)
        bytes_.push_back(static_cast<std::uint8_t>(c));
    return Raw({0});
}

GifBytes& GifBytes::Raw(const std::vector<std::uint8_t>& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

GifBytes& GifBytes::Image(int left, int top, int width, int height, const std::vector<std::uint8_t>& pixels,
                          int minCodeSize)
{
    bytes_.push_back(0x2C);
    Word(bytes_, left);
    Word(bytes_, top);
    Word(bytes_, width);
    Word(bytes_, height);
    bytes_.push_back(0);
    bytes_.push_back(static_cast<std::uint8_t>(minCodeSize));
    // Every pixel follows a clear code, so the code width never grows.
    const int codeWidth = minCodeSize + 1;
    const int clear = 1 << minCodeSize;
    std::vector<std::uint8_t> data;
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](int code) {
        bits |= static_cast<std::uint32_t>(code) << count;
        count += codeWidth;
        while (count >= 8) {
            data.push_back(static_cast<std::uint8_t>(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::uint8_t p : pixels) {
        put(clear);
        put(p);
    }
    put(clear + 1);
    if (count > 0)
        data.push_back(static_cast<std::uint8_t>(bits));
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        bytes_.push_back(static_cast<std::uint8_t>(n));
        bytes_.insert(bytes_.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                      data.begin() + static_cast<std::ptrdiff_t>(i + n));
    }
    bytes_.push_back(0);
    return *this;
}

std::vector<std::uint8_t> GifBytes::Bytes() const
{
    std::vector<std::uint8_t> out = bytes_;
    out.push_back(0x3B);
    return out;
}

std::vector<QImage> CoalescedFrames(const std::string& file, int width, int height)
{
    const std::filesystem::path folder = std::filesystem::path(file).parent_path() / "coalesced";
    std::filesystem::create_directories(folder);
    Run("convert-im6.q16 '" + file +
        "' -coalesce -depth 8 +adjoin 'rgba:" + (folder / "f_%03d.rgba").string() + "'");
    std::vector<QImage> frames;
    for (int i = 0;; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f_%03d.rgba", i);
        const auto path = folder / name;
        if (!std::filesystem::exists(path))
            break;
        const std::vector<unsigned char> bytes = ReadFileBytes(path.string());
        QImage frame(width, height, QImage::Format_ARGB32);
        if (bytes.size() != static_cast<std::size_t>(width) * height * 4)
            return {};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = &bytes[(static_cast<std::size_t>(y) * width + x) * 4];
                frame.setPixel(x, y, qRgba(p[0], p[1], p[2], p[3]));
            }
        frames.push_back(frame);
    }
    std::filesystem::remove_all(folder);
    return frames;
}

} // namespace lumeno::test
