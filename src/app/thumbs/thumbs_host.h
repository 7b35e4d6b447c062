#pragma once
// What the thumbnail explorer borrows from the main window: its file mask,
// its fill routine and sort rules, its folder and list, and the sheet
// creator. The main window installs one at start-up; tests install fakes.

#include <string>
#include <vector>

namespace lumeno {

// One item of a file list: caption and the three sub-items as listed.
struct TFileRow {
    std::string Caption;
    std::string Size;
    std::string Type;
    std::string Modified;
};

class TThumbsHost {
public:
    virtual ~TThumbsHost() = default;
    // The main window's file mask ("*.jpg;*.gif;...").
    virtual std::string FileMask() const = 0;
    // The rows the main window's fill routine lists for the folder and mask.
    virtual std::vector<TFileRow> ListFolder(const std::string& Folder, const std::string& Mask) const = 0;
    // The main list's compare for a column, in ascending sense (-1, 0, 1).
    virtual int CompareRows(const TFileRow& A, const TFileRow& B, int Column) const = 0;
    // The folder of the main window's tree.
    virtual std::string MainFolder() const = 0;
    // Refills the main window's list for its folder and sorts it.
    virtual void RefillMainList() = 0;
    virtual void ShowSheetCreator() = 0;
};

// nullptr until the main window installs one; the caller keeps ownership.
TThumbsHost* ThumbsHost();
void SetThumbsHost(TThumbsHost* Host);

// Path with a trailing '/' unless it has one.
std::string IncludeTrailingSlash(const std::string& Path);

} // namespace lumeno
