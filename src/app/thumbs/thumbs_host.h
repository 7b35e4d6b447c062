#pragma once
// What the thumbnail explorer borrows from the main window besides the
// shared list rules (file_list.h): its mask, its folder and list, and the
// sheet creator. The main window installs one at start-up; tests install
// fakes.

#include <string>

namespace lumeno {

class TThumbsHost {
public:
    virtual ~TThumbsHost() = default;
    // The mask the main window fills its own list with ("*.*;" while it
    // shows all files).
    virtual std::string FileMask() const = 0;
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
