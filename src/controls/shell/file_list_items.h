#pragma once
// What the file-list view shows, without a widget: the items of a folder,
// of the desktop and of the drives, their column texts, their order, the
// folder one level up and the place of a thumbnail.

#include <QImage>
#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

// The special locations the list shows instead of a folder.
inline const std::string kDesktop = "DESKTOP";
inline const std::string kDrives = "DRIVES";
inline const std::string kNetwork = "NETWORK";
inline const std::string kRecycled = "RECYCLED";

enum TFileListViewAttr : unsigned { flvReadOnly = 1, flvHidden = 2, flvSystem = 4 };
constexpr unsigned flvAll = flvReadOnly | flvHidden | flvSystem;

enum class TSortedBy {
    sbName,
    sbSize,
    sbType,
    sbDate,
    sbAttr,
    sbNameInv,
    sbSizeInv,
    sbTypeInv,
    sbDateInv,
    sbAttrInv
};

struct TFileListItem {
    std::string Caption;
    std::string SizeText;
    std::string TypeName;
    std::string DateText;
    std::string Attr;     // "d ", "ra ", "X" for the special locations
    std::string FileName; // a path or a keyword for the special locations
    std::string Target;   // a symbolic link's resolved target
    std::int64_t Size = 0;
    std::int64_t Modified = 0; // seconds since the epoch
    bool IsFolder = false;
};

// "1,234,567"; blank for an empty file.
std::string FileSizeText(std::int64_t bytes);
// "d", "r", "h", "s", "a" in that order, then a space.
std::string AttributeLetters(int attributes);
// A drive's total size: "20,000 Mb" above 10,000 KB, "512 Kb", "0 Kb".
std::string DriveSizeText(std::int64_t bytes);

// Folders first, then files, of a folder; "." and ".." left out and only
// what the attribute classes allow (flvReadOnly, flvHidden, flvSystem).
// Adds the listed sizes to totalSize.
std::vector<TFileListItem> ListFolder(const std::string& folder, unsigned allowed, std::int64_t& totalSize);

// The special locations (attribute "X"), then the desktop's items.
std::vector<TFileListItem> ListDesktop(int languageBase);
// The mounted volumes with their sizes and drive types.
std::vector<TFileListItem> ListDrives(int languageBase);
// The trash's files.
std::vector<TFileListItem> ListRecycled(unsigned allowed, std::int64_t& totalSize);

// The drive-type code of a mount: 2 removable, 3 fixed, 4 network, 5 CD,
// 6 RAM disk, 0 unknown.
int DriveTypeOf(const std::string& fileSystem, bool removable);

// One level up: a folder's parent, a volume's root "DRIVES", the special
// locations "DESKTOP" (which stays).
std::string ParentLocation(const std::string& current);

// True when a sorts before b by the column (0 name .. 4 attributes); items
// whose attributes begin with "X" come first either way.
bool SortsBefore(const TFileListItem& a, const TFileListItem& b, TSortedBy sortedBy);
TSortedBy SortedByColumn(int column, bool descending);

// Where a picture of width x height lands in a square of size: the longer
// side fills it, the shorter one is centred.
QRect ThumbnailPlacement(int width, int height, int size);

// A file's picture on a white square of size; with mask its bottom-left
// colour turns see-through. A null image when the file shows no picture.
// Safe off the main thread.
QImage ThumbnailSquare(const std::string& path, int size, bool mask);

// A folder combo entry: icon "%.4d", level "%.3d", key, ";", name.
std::string DirectoryComboEntry(int icon, int level, const std::string& key, const std::string& name);

} // namespace lumeno
