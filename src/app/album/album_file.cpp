#include "app/album/album_file.h"

#include "platform/stream.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace lumeno {

namespace {

constexpr char kTab = '\t';
constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr int kMinimumFileSize = AlbumSettingsSize + AlbumVersionBlockSize;

std::string RightAligned(const std::string& text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// Length of the UTF-8 sequence a lead byte starts (0: not a lead byte).
int SequenceLength(unsigned char c)
{
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return 2;
    if (c >= 0xE0 && c <= 0xEF)
        return 3;
    if (c >= 0xF0 && c <= 0xF4)
        return 4;
    return 0;
}

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

bool ValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        const int n = SequenceLength(static_cast<unsigned char>(s[i]));
        if (n == 0 || i + std::size_t(n) > s.size())
            return false;
        for (int k = 1; k < n; ++k)
            if (!IsContinuation(static_cast<unsigned char>(s[i + std::size_t(k)])))
                return false;
        i += std::size_t(n);
    }
    return true;
}

std::string Latin1ToUtf8(const std::string& s)
{
    std::string out;
    out.reserve(s.size() * 2);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Text written by older versions is in an 8-bit code page.
std::string AsUtf8(const std::string& s)
{
    return ValidUtf8(s) ? s : Latin1ToUtf8(s);
}

// At most max bytes, never splitting a character.
std::string CutAtCharacter(const std::string& s, std::size_t max)
{
    if (s.size() <= max)
        return s;
    std::size_t n = max;
    while (n > 0 && IsContinuation(static_cast<unsigned char>(s[n])))
        --n;
    return s.substr(0, n);
}

std::string Trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// A field as a whole decimal number (spaces around allowed); raises with
// what the field holds otherwise.
std::int64_t NumberField(const std::string& field, const char* what)
{
    const std::string text = Trimmed(field);
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw EAlbumFile(std::string("the ") + what + " is not a number");
    return value;
}

int RangedField(const std::string& field, const char* what, int low, int high)
{
    const std::int64_t value = NumberField(field, what);
    if (value < low || value > high)
        throw EAlbumFile(std::string("the ") + what + " is outside " + std::to_string(low) + ".." +
                         std::to_string(high));
    return int(value);
}

TAlbumFileSettings DecodeSettings(const std::string& line)
{
    std::size_t pos = 0;
    const auto field = [&](std::size_t width) {
        std::string f = line.substr(pos, width);
        pos += width;
        return f;
    };
    TAlbumFileSettings s;
    s.Rows = RangedField(field(3), "row count", 1, 6);
    s.Cols = RangedField(field(3), "column count", 1, 6);
    s.Border = RangedField(field(3), "border", 10, 500);
    s.PrintFrames = field(1) == "1";
    s.CaptionChoice = RangedField(field(1), "caption choice", acNone, acCustom);
    s.FontName = AsUtf8(Trimmed(field(AlbumFontNameWidth)));
    s.FontSize = std::clamp(int(std::clamp<std::int64_t>(NumberField(field(2), "font size"), 0, 99)),
                            AlbumMinFontSize, AlbumMaxFontSize);
    const std::int64_t color = NumberField(field(12), "font colour");
    if (color < INT32_MIN || color > UINT32_MAX)
        throw EAlbumFile("the font colour is not a colour");
    s.FontColor = static_cast<TColor>(color);
    s.Bold = field(1) == "1";
    s.Italic = field(1) == "1";
    return s;
}

// Whether entries carry rotation bytes; raises for a newer version.
bool DecodeVersionBlock(const std::string& block)
{
    const std::string text = Trimmed(block);
    double version = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), version);
    if (ec == std::errc() && ptr != text.data() && version > 7.80 + 1e-9)
        throw EAlbumFile("it was written by a newer version (" +
                         text.substr(0, std::size_t(ptr - text.data())) + ")");
    return !block.empty() && block[0] == '7';
}

// The settings line and version block at the start of bytes; returns
// whether entries carry rotation bytes.
bool DecodeHead(const std::string& bytes, TAlbumFileSettings& settings)
{
    if (bytes.size() < std::size_t(kMinimumFileSize))
        throw EAlbumFile("it is too short to be an album");
    settings = DecodeSettings(bytes.substr(0, AlbumSettingsSize));
    return DecodeVersionBlock(bytes.substr(AlbumSettingsSize, AlbumVersionBlockSize));
}

// The file's bytes; the head is read and checked first, so a large file
// that is no album is refused before it is read.
std::string ReadAlbumBytes(const std::string& fileName)
{
    TFileStream stream(fileName, TFileMode::fmOpenRead);
    const std::int64_t size = stream.GetSize();
    std::string bytes(std::size_t(std::min<std::int64_t>(size, kMinimumFileSize)), '\0');
    stream.ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
    TAlbumFileSettings settings;
    DecodeHead(bytes, settings);
    if (size > AlbumMaxFileSize)
        throw EAlbumFile("it is larger than " + std::to_string(AlbumMaxFileSize >> 20) + " MB");
    bytes.resize(std::size_t(size));
    stream.ReadBuffer(bytes.data() + kMinimumFileSize, size - kMinimumFileSize);
    return bytes;
}

} // namespace

std::string StorableCaption(const std::string& caption)
{
    std::string out = caption;
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == kTab || c == kCR || c == kLF; }, ' ');
    return out;
}

bool StorablePath(const std::string& path)
{
    return path.find_first_of("\t\r\n") == std::string::npos;
}

std::string EncodeAlbumSettings(const TAlbumFileSettings& s)
{
    const auto flag = [](bool b) { return b ? std::string("1") : std::string("0"); };
    const int size = std::clamp(s.FontSize, AlbumMinFontSize, AlbumMaxFontSize);
    std::string line;
    line += RightAligned(std::to_string(std::clamp(s.Rows, 1, 6)), 3);
    line += RightAligned(std::to_string(std::clamp(s.Cols, 1, 6)), 3);
    line += RightAligned(std::to_string(std::clamp(s.Border, 10, 500)), 3);
    line += flag(s.PrintFrames);
    line += std::to_string(std::clamp(s.CaptionChoice, int(acNone), int(acCustom)));
    line += RightAligned(CutAtCharacter(StorableCaption(s.FontName), AlbumFontNameWidth), AlbumFontNameWidth);
    line += RightAligned(std::to_string(size), 2);
    line += RightAligned(std::to_string(static_cast<std::int32_t>(s.FontColor)), 12);
    line += flag(s.Bold);
    line += flag(s.Italic);
    return line;
}

std::string EncodeAlbumFile(const std::vector<TAlbumEntry>& entries, const TAlbumFileSettings& settings)
{
    std::string bytes = EncodeAlbumSettings(settings);
    bytes += AlbumVersion + std::string(AlbumVersionBlockSize - 4, ' ');
    for (const TAlbumEntry& e : entries) {
        if (!StorablePath(e.Path))
            throw EAlbumFile("the path \"" + e.Path + "\" holds a tab or line break");
        bytes += static_cast<char>(std::clamp(e.Rotation, 0, 3));
        bytes += e.Path;
        bytes += kTab;
        bytes += StorableCaption(e.Caption);
        bytes += kCR;
        bytes += kLF;
    }
    return bytes;
}

TAlbumFile DecodeAlbumFile(const std::string& bytes)
{
    TAlbumFile album;
    const bool rotations = DecodeHead(bytes, album.Settings);
    std::size_t pos = kMinimumFileSize;
    while (pos < bytes.size()) {
        TAlbumEntry entry;
        if (rotations) {
            const auto step = static_cast<unsigned char>(bytes[pos++]);
            if (step > 3)
                throw EAlbumFile("an entry has the rotation " + std::to_string(step));
            entry.Rotation = step;
        }
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string::npos) {
            album.CutShort = true;
            break;
        }
        // Without a TAB the line is no entry; looking for one further on
        // would swallow the next entry, line break and all.
        const std::size_t tab = bytes.find(kTab, pos);
        if (tab < end) {
            entry.Path = AsUtf8(bytes.substr(pos, tab - pos));
            entry.Caption = AsUtf8(bytes.substr(tab + 1, end - tab - 1));
            album.Entries.push_back(std::move(entry));
        } else {
            ++album.Damaged;
        }
        pos = end + 1;
        if (bytes[end] == kCR && pos < bytes.size() && bytes[pos] == kLF)
            ++pos;
    }
    return album;
}

void WriteAlbumFileTo(const std::string& fileName, const std::vector<TAlbumEntry>& entries,
                      const TAlbumFileSettings& settings)
{
    const std::string bytes = EncodeAlbumFile(entries, settings);
    TSafeFileStream stream(fileName);
    stream.WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
    stream.Commit();
}

TAlbumFile ReadAlbumFileFrom(const std::string& fileName)
{
    try {
        return DecodeAlbumFile(ReadAlbumBytes(fileName));
    } catch (const EAlbumFile& e) {
        throw EAlbumFile("Cannot open the album " + fileName + ": " + e.what());
    } catch (const std::exception& e) {
        throw EAlbumFile("Cannot read the album " + fileName + ": " + e.what());
    }
}

} // namespace lumeno
