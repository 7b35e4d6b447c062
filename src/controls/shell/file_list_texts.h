#pragma once
// The string-table blocks of the file-list controls: one block per language
// at base = primary language number x 100, entries at base + offset.

#include <string>

namespace lumeno {

enum class TFileViewLanguage { lnSystemDefault, lnUserDefault, lnEnglish, lnItalian, lnFrench, lnGerman, lnSpanish };

// Offsets inside a block.
constexpr int flColumnName = 11;   // .. 15: Name, Size, Type, Last Modify, Attr
constexpr int flDriveType = 21;    // .. 27: by drive-type code 0..6
constexpr int flAllNetwork = 31;
constexpr int flDeleted = 32;
constexpr int flNewFolder = 33;
constexpr int flViewMenu = 41;     // .. 46
constexpr int flBrowseMenu = 51;   // .. 52
constexpr int flSortMenu = 61;     // .. 66
constexpr int flFileMenu = 71;     // .. 75

// 900 English, 1600 Italian, 1200 French, 700 German, 1000 Spanish; the
// defaults follow the locale. A base whose block is missing gives 900.
int FileViewLanguageBase(TFileViewLanguage language);

// The string at base + offset; "" when the table has none.
std::string FileListString(int id);

// The entry of the language's block (English when that block is missing).
std::string FileListText(int base, int offset);

} // namespace lumeno
