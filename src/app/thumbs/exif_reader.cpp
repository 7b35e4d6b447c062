#include "app/thumbs/exif_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace lumeno {

namespace {

constexpr std::size_t kHeadSize = 64;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kMaxText = 255;
// Each number of a list takes at least a digit and a comma, so this many
// already fill a value that is cut; the rest is not read.
constexpr std::uint32_t kMaxListItems = kExifMaxValueChars / 2 + 1;
constexpr std::uint16_t kExifOffsetTag = 34665;

const std::map<int, const char*>& TagNames()
{
    static const std::map<int, const char*> names = {
        {254, "NewSubFile Type"},
        {256, "ImageWidth"},
        {257, "ImageLength"},
        {258, "BitsPerSample"},
        {259, "Compression"},
        {262, "PhotometricInterpretation"},
        {266, "FillOrder"},
        {269, "DocumentName"},
        {270, "ImageDescription"},
        {271, "Make"},
        {272, "Model"},
        {273, "StripOffsets"},
        {274, "Orientation"},
        {277, "SamplesPerPixel"},
        {278, "RowsPerStrip"},
        {279, "StripByteCounts"},
        {282, "XResolution"},
        {283, "YResolution"},
        {284, "PlanarConfiguration"},
        {296, "ResolutionUnit"},
        {301, "TransferFunction"},
        {305, "Software"},
        {306, "DateTime"},
        {315, "Artist"},
        {318, "WhitePoint"},
        {319, "PrimaryChromaticities"},
        {342, "TransferRange"},
        {512, "JPEGProc"},
        {513, "JPEGInterchangeFormat"},
        {514, "JPEGInterchangeFormatLength"},
        {529, "YCbCrCoefficients"},
        {530, "YCbCrSubSampling"},
        {531, "YCbCrPositioning"},
        {532, "ReferenceBlackWhite"},
        {33421, "CFARepeatPatternDim"},
        {33422, "CFAPattern"},
        {33423, "BatteryLevel"},
        {33432, "Copyright"},
        {33434, "Exposure Time"},
        {33437, "F Number"},
        {33723, "IPTC/NAA"},
        {34665, "ExifOffset"},
        {34675, "InterColorProfile"},
        {34850, "Exposure Program"},
        {34852, "SpectralSensitivity"},
        {34853, "GPSInfo"},
        {34855, "ISO Speed Rating"},
        {34856, "OECF"},
        {36864, "Exif Version"},
        {36867, "DateTime Original"},
        {36868, "DateTime Digitized"},
        {37121, "Component Configuration"},
        {37122, "Compressed Bits Per Pixel"},
        {37377, "Shutter Speed Value"},
        {37378, "Aperture Value"},
        {37379, "Brightness Value"},
        {37380, "Exposure Bias Value"},
        {37381, "Max Aperture Value"},
        {37382, "Subject Distance"},
        {37383, "Metering Mode"},
        {37384, "Light Source"},
        {37385, "Flash"},
        {37386, "Focal Length"},
        {37500, "Maker Note"},
        {37510, "User Comment"},
        {37520, "SubSecTime"},
        {37521, "SubSecTimeOriginal"},
        {37522, "SubSecTimeDigitized"},
        {40960, "Flash Pix Version"},
        {40961, "Color Space"},
        {40962, "Exif Image Width"},
        {40963, "Exif Image Height"},
        {40964, "Related Sound File"},
        {40965, "Exif Interoperability Offset"},
        {41486, "Focal Plane X Resolution"},
        {41487, "Focal Plane Y Resolution"},
        {41488, "Focal Plane Resolution Unit"},
        {41495, "Sensing Method"},
        {41728, "File Source"},
        {41729, "Scene Type"},
    };
    return names;
}

template <class T>
std::string ShortestText(T value)
{
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

std::string JoinNumbers(const std::vector<std::string>& parts)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i)
            text += ',';
        text += parts[i];
    }
    return text;
}

class TExifWalker {
public:
    explicit TExifWalker(const TExifReadAt& readAt) : readAt_(readAt) {}

    TExifData Read()
    {
        if (!Detect())
            return std::move(data_);
        const std::uint32_t first = Long(data_.Base + 4);
        std::uint32_t subDirectory = 0;
        Walk(first, true, subDirectory);
        if (subDirectory > 0)
            Walk(subDirectory, false, subDirectory);
        return std::move(data_);
    }

private:
    std::vector<std::uint8_t> Bytes(std::uint64_t position, std::size_t size) const
    {
        std::vector<std::uint8_t> bytes(size);
        bytes.resize(readAt_(position, bytes.data(), size));
        return bytes;
    }
    std::uint16_t Word(std::uint64_t position) const
    {
        return ExifReadWord(Bytes(position, 2), data_.ByteOrder, 0);
    }
    std::uint32_t Long(std::uint64_t position) const
    {
        return ExifReadLong(Bytes(position, 4), data_.ByteOrder, 0);
    }

    bool Detect()
    {
        const std::vector<std::uint8_t> head = Bytes(0, kHeadSize);
        const int last = static_cast<int>(head.size()) - 2;
        static const std::uint8_t intel[] = {'I', 'I'};
        static const std::uint8_t motorola[] = {'M', 'M'};
        return Accept(FindBytes(head, last, 1, intel), eboIntel) ||
               Accept(FindBytes(head, last, 1, motorola), eboMotorola);
    }
    bool Accept(int index, int byteOrder)
    {
        if (index < 0)
            return false;
        data_.ByteOrder = byteOrder;
        data_.Base = static_cast<std::uint64_t>(index);
        if (Word(data_.Base + 2) >= 42)
            return true;
        data_.ByteOrder = eboNone;
        data_.Base = 0;
        return false;
    }

    void Walk(std::uint32_t offset, bool mainChain, std::uint32_t& subDirectory)
    {
        std::set<std::uint32_t> visited;
        while (offset != 0 && visited.insert(offset).second) {
            const std::uint64_t directory = data_.Base + offset;
            const std::vector<std::uint8_t> countBytes = Bytes(directory, 2);
            if (countBytes.size() < 2)
                return;
            const std::uint16_t count = ExifReadWord(countBytes, data_.ByteOrder, 0);
            for (std::uint16_t i = 0; i < count; ++i) {
                if (data_.Entries.size() >= kExifMaxRows)
                    return;
                const std::vector<std::uint8_t> entry = Bytes(directory + 2 + kEntrySize * i, kEntrySize);
                if (entry.size() < kEntrySize)
                    return;
                AddEntry(entry, mainChain, subDirectory);
            }
            offset = Long(directory + 2 + kEntrySize * count);
        }
    }

    void AddEntry(const std::vector<std::uint8_t>& entry, bool mainChain, std::uint32_t& subDirectory)
    {
        TExifEntry row;
        row.Tag = ExifReadWord(entry, data_.ByteOrder, 0);
        row.Type = ExifReadWord(entry, data_.ByteOrder, 2);
        row.Count = ExifReadLong(entry, data_.ByteOrder, 4);
        row.Name = ExifTagName(row.Tag);
        if (mainChain && row.Tag == kExifOffsetTag)
            subDirectory = ExifReadLong(entry, data_.ByteOrder, 8);
        row.Value = ExifCutValue(ValueText(entry, row.Type, row.Count));
        data_.Entries.push_back(std::move(row));
    }

    // The value's bytes: inside the entry when they fit in 4, else at the
    // offset the entry names.
    std::vector<std::uint8_t> ValueBytes(const std::vector<std::uint8_t>& entry, std::uint64_t size)
    {
        if (size <= 4)
            return {entry.begin() + 8, entry.begin() + 8 + static_cast<std::ptrdiff_t>(size)};
        return Bytes(data_.Base + ExifReadLong(entry, data_.ByteOrder, 8), static_cast<std::size_t>(size));
    }

    std::string ValueText(const std::vector<std::uint8_t>& entry, std::uint16_t type, std::uint32_t count)
    {
        const int order = data_.ByteOrder;
        switch (type) {
        case 1:
            return std::to_string(entry[8]);
        case 2:
            return Text(entry, count);
        case 3:
        case 6:
        case 8:
            return std::to_string(ExifReadWord(entry, order, 8));
        case 4:
        case 9:
            return std::to_string(static_cast<std::int32_t>(ExifReadLong(entry, order, 8)));
        case 5:
        case 10:
            return Rational(entry, type == 10);
        case 7:
            return ByteList(ValueBytes(entry, ListItems(count)));
        case 11:
        case 12:
            return Reals(entry, type == 12 ? 8 : 4, ListItems(count));
        default:
            return {};
        }
    }

    static std::uint32_t ListItems(std::uint32_t count) { return std::min(count & 0xFFFF, kMaxListItems); }

    std::string Text(const std::vector<std::uint8_t>& entry, std::uint32_t count)
    {
        const std::vector<std::uint8_t> bytes = ValueBytes(entry, std::min<std::uint64_t>(count, kMaxText));
        const auto end = std::find(bytes.begin(), bytes.end(), 0);
        return std::string(bytes.begin(), end);
    }

    std::string Rational(const std::vector<std::uint8_t>& entry, bool isSigned)
    {
        const std::vector<std::uint8_t> bytes = ValueBytes(entry, 8);
        if (bytes.size() < 8)
            return {};
        const std::uint32_t numerator = ExifReadLong(bytes, data_.ByteOrder, 0);
        const std::uint32_t denominator = ExifReadLong(bytes, data_.ByteOrder, 4);
        if (isSigned)
            return std::to_string(static_cast<std::int32_t>(numerator)) + "/" +
                   std::to_string(static_cast<std::int32_t>(denominator));
        return std::to_string(numerator) + "/" + std::to_string(denominator);
    }

    static std::string ByteList(const std::vector<std::uint8_t>& bytes)
    {
        std::vector<std::string> parts;
        for (std::uint8_t byte : bytes)
            parts.push_back(std::to_string(byte));
        return JoinNumbers(parts);
    }

    std::string Reals(const std::vector<std::uint8_t>& entry, std::size_t width, std::uint32_t count)
    {
        const std::vector<std::uint8_t> bytes = ValueBytes(entry, std::uint64_t{width} * count);
        const bool intel = data_.ByteOrder == eboIntel;
        std::vector<std::string> parts;
        for (std::size_t at = 0; at + width <= bytes.size(); at += width) {
            if (width == 4) {
                parts.push_back(ShortestText(std::bit_cast<float>(ExifReadLong(bytes, data_.ByteOrder, at))));
                continue;
            }
            const std::uint64_t first = ExifReadLong(bytes, data_.ByteOrder, at);
            const std::uint64_t second = ExifReadLong(bytes, data_.ByteOrder, at + 4);
            const std::uint64_t bits = intel ? (second << 32 | first) : (first << 32 | second);
            parts.push_back(ShortestText(std::bit_cast<double>(bits)));
        }
        return JoinNumbers(parts);
    }

    const TExifReadAt& readAt_;
    TExifData data_;
};

} // namespace

std::uint16_t ExifReadWord(std::span<const std::uint8_t> Buffer, int ByteOrder, std::size_t Offset)
{
    if (Offset > Buffer.size() || Buffer.size() - Offset < 2)
        return 0;
    const std::uint16_t first = Buffer[Offset];
    const std::uint16_t second = Buffer[Offset + 1];
    switch (ByteOrder) {
    case eboIntel:
        return static_cast<std::uint16_t>(first | second << 8);
    case eboMotorola:
        return static_cast<std::uint16_t>(first << 8 | second);
    default:
        return 0;
    }
}

std::uint32_t ExifReadLong(std::span<const std::uint8_t> Buffer, int ByteOrder, std::size_t Offset)
{
    if (Offset > Buffer.size() || Buffer.size() - Offset < 4)
        return 0;
    const std::uint32_t low = ExifReadWord(Buffer, ByteOrder, ByteOrder == eboIntel ? Offset : Offset + 2);
    const std::uint32_t high = ExifReadWord(Buffer, ByteOrder, ByteOrder == eboIntel ? Offset + 2 : Offset);
    return high << 16 | low;
}

int FindBytes(std::span<const std::uint8_t> Buffer, int LastStart, int PatternHigh,
              const std::uint8_t* Pattern)
{
    if (PatternHigh < 0)
        return -1;
    const auto length = static_cast<std::size_t>(PatternHigh) + 1;
    for (int start = 0; start <= LastStart; ++start) {
        const auto at = static_cast<std::size_t>(start);
        if (at + length > Buffer.size())
            break;
        if (std::equal(Pattern, Pattern + length, Buffer.begin() + static_cast<std::ptrdiff_t>(at)))
            return start;
    }
    return -1;
}

std::string ExifCutValue(std::string Value)
{
    std::size_t chars = 0;
    for (std::size_t at = 0; at < Value.size(); ++at) {
        const bool startsChar = (static_cast<unsigned char>(Value[at]) & 0xC0) != 0x80;
        if (startsChar && chars++ == kExifMaxValueChars) {
            Value.resize(at);
            return Value + "\u2026";
        }
    }
    return Value;
}

std::string ExifFieldTypeName(int Type)
{
    static const char* const names[] = {"Byte",  "Ascii",  "Short",     "Long",  "Rational", "SByte",
                                        "Undefined", "SShort", "SLong", "SRational", "Float", "Double"};
    if (Type >= 1 && Type <= 12)
        return names[Type - 1];
    return "No Field Type of " + std::to_string(Type);
}

std::string ExifTagName(int Tag)
{
    const auto& names = TagNames();
    const auto found = names.find(Tag);
    if (found != names.end())
        return found->second;
    return "Undefined (" + std::to_string(Tag) + ")";
}

TExifData ReadExifData(const TExifReadAt& ReadAt) { return TExifWalker(ReadAt).Read(); }

TExifData ReadExifData(std::span<const std::uint8_t> Data)
{
    return ReadExifData([Data](std::uint64_t position, std::uint8_t* dest, std::size_t size) -> std::size_t {
        if (position >= Data.size())
            return 0;
        const std::size_t count = std::min<std::uint64_t>(size, Data.size() - position);
        std::copy_n(Data.begin() + static_cast<std::ptrdiff_t>(position), count, dest);
        return count;
    });
}

TExifData ReadExifFile(const std::string& Path)
{
    // Opening a pipe would wait for a writer.
    std::error_code error;
    if (!std::filesystem::is_regular_file(Path, error))
        return {};
    std::ifstream file(Path, std::ios::binary);
    if (!file)
        return {};
    return ReadExifData([&file](std::uint64_t position, std::uint8_t* dest, std::size_t size) -> std::size_t {
        file.clear();
        file.seekg(static_cast<std::streamoff>(position));
        if (!file)
            return 0;
        file.read(reinterpret_cast<char*>(dest), static_cast<std::streamsize>(size));
        return static_cast<std::size_t>(file.gcount());
    });
}

std::optional<std::string> ExifDateTime(const TExifData& Data)
{
    std::optional<std::string> value;
    for (const TExifEntry& entry : Data.Entries)
        if (entry.Name == "DateTime")
            value = entry.Value;
    return value;
}

} // namespace lumeno
