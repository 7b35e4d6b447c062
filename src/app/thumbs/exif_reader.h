#pragma once
// The TIFF/EXIF tags of a file as name/value rows: the byte-order mark is
// looked for in the first 64 bytes, offsets count from it, and the main
// directory chain is listed before the EXIF sub-directory. Plain C++ over a
// read callback, so it serves files, byte arrays and the fuzzer alike; every
// read stays inside the data and a chain that comes back to a directory ends.
// A small file may claim huge values and overlapping directories, so what is
// listed is bounded: kExifMaxRows rows of at most kExifMaxValueChars
// characters each.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumeno {

// A maker's block can be hundreds of kilobytes of numbers, which no one
// reads in a row: longer values end after this many characters with "…".
inline constexpr std::size_t kExifMaxValueChars = 1024;
// Real files, multi-page scans included, stay far below this many rows.
inline constexpr std::size_t kExifMaxRows = 4096;

enum TExifByteOrder : int { eboNone = 0, eboIntel = 1, eboMotorola = 2 };

// 16- and 32-bit reads in the given order; eboNone, or bytes past the
// buffer's end, give 0.
std::uint16_t ExifReadWord(std::span<const std::uint8_t> Buffer, int ByteOrder, std::size_t Offset);
std::uint32_t ExifReadLong(std::span<const std::uint8_t> Buffer, int ByteOrder, std::size_t Offset);

// The first index <= LastStart where the PatternHigh + 1 bytes of Pattern
// match, or -1.
int FindBytes(std::span<const std::uint8_t> Buffer, int LastStart, int PatternHigh,
              const std::uint8_t* Pattern);

// Value cut to kExifMaxValueChars characters (of UTF-8) followed by "…";
// a shorter value is returned as it is.
std::string ExifCutValue(std::string Value);

std::string ExifFieldTypeName(int Type);
std::string ExifTagName(int Tag);

struct TExifEntry {
    std::uint16_t Tag = 0;
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    std::string Name;
    std::string Value;
};

// Reads up to Size bytes at Position into Dest; returns how many it read
// (fewer at the end of the data).
using TExifReadAt = std::function<std::size_t(std::uint64_t Position, std::uint8_t* Dest, std::size_t Size)>;

struct TExifData {
    int ByteOrder = eboNone;
    std::uint64_t Base = 0;
    std::vector<TExifEntry> Entries;
};

TExifData ReadExifData(const TExifReadAt& ReadAt);
TExifData ReadExifData(std::span<const std::uint8_t> Data);
// The file's entries; a file that cannot be opened has none.
TExifData ReadExifFile(const std::string& Path);

// The value of the last "DateTime" entry, if any.
std::optional<std::string> ExifDateTime(const TExifData& Data);

} // namespace lumeno
