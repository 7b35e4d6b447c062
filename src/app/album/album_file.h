#pragma once
// The album file: a 67-byte settings line of fixed-width fields, a
// 1000-byte version block, then per entry a rotation byte, the image path,
// TAB, the caption and CR LF (LF alone is read too, as files passed through
// other tools have it). Paths and captions are UTF-8.

#include "platform/exception.h"
#include "platform/types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EAlbumFile, Exception);

constexpr int AlbumSettingsSize = 67;
constexpr int AlbumVersionBlockSize = 1000;
constexpr const char* AlbumVersion = "7.80";
constexpr int AlbumFontNameWidth = 40;
// Far beyond any real album (about 300 bytes an entry); a bigger file is
// something else and is not read whole.
constexpr std::int64_t AlbumMaxFileSize = std::int64_t{16} << 20;
constexpr int AlbumMinFontSize = 6;
constexpr int AlbumMaxFontSize = 24;

// Caption choices, in the order of the frame setup's radio group.
enum TAlbumCaption { acNone, acFilename, acCaption, acDateTime, acFilenameDateTime, acCustom };

struct TAlbumFileSettings {
    int Rows = 3;
    int Cols = 2;
    int Border = 100;
    bool PrintFrames = false;
    int CaptionChoice = acNone;
    std::string FontName = "Arial";
    int FontSize = 8;
    TColor FontColor = clBlack;
    bool Bold = false;
    bool Italic = false;
    friend bool operator==(const TAlbumFileSettings&, const TAlbumFileSettings&) = default;
};

struct TAlbumEntry {
    std::string Path;
    std::string Caption;
    // Quarter turns clockwise, 0..3.
    int Rotation = 0;
    friend bool operator==(const TAlbumEntry&, const TAlbumEntry&) = default;
};

struct TAlbumFile {
    TAlbumFileSettings Settings;
    std::vector<TAlbumEntry> Entries;
    // The file ended inside its last entry; the complete ones were kept.
    bool CutShort = false;
    // Entry lines without a TAB, left out.
    int Damaged = 0;
};

// The 67-byte settings line. Values are held to their fields: the font name
// is cut to 40 bytes at a character boundary and the size kept in 6..24.
std::string EncodeAlbumSettings(const TAlbumFileSettings& settings);
// The whole file. Raises EAlbumFile for an entry whose path holds TAB, CR or
// LF; TAB, CR and LF in captions become spaces.
std::string EncodeAlbumFile(const std::vector<TAlbumEntry>& entries, const TAlbumFileSettings& settings);
// Raises EAlbumFile with the reason when any field is out of range, the
// file is too short or written by a newer version.
TAlbumFile DecodeAlbumFile(const std::string& bytes);

// A caption as it can be stored: TAB, CR and LF become spaces.
std::string StorableCaption(const std::string& caption);
// Whether a path can be stored (it holds no TAB, CR or LF).
bool StorablePath(const std::string& path);

// File level: written through a temporary file; read whole once its
// settings line and version block were found sound and its size sane.
// Messages name the file.
void WriteAlbumFileTo(const std::string& fileName, const std::vector<TAlbumEntry>& entries,
                      const TAlbumFileSettings& settings);
TAlbumFile ReadAlbumFileFrom(const std::string& fileName);

} // namespace lumeno
