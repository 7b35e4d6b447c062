#pragma once
// What the file-management windows and commands need from the main window:
// its folder, its list's items and selection, and its refresh and show
// routines. The main window installs its own once at start-up; tests
// install fakes.

#include <string>
#include <vector>

namespace lumeno {

class TFilesHost {
public:
    virtual ~TFilesHost() = default;
    // The folder the main list shows, which the commands act on; "" when it
    // shows none (then they do nothing).
    virtual std::string TreeFolder() = 0;
    // Captions of the main list (SLV1): all of them, and the selected ones,
    // in list order.
    virtual std::vector<std::string> ListCaptions() = 0;
    virtual std::vector<std::string> SelectedCaptions() = 0;
    // The main list filled again for its folder and sorted.
    virtual void RefillList() = 0;
    // The main window's Update1Click: sort column reset, list refilled.
    virtual void Update1Click() = 0;
    // Selects the caption in the main list, scrolls it into view and shows
    // the file (SelectFileInList + ShowFile); false when it is not listed.
    virtual bool SelectAndShow(const std::string& Caption) = 0;
    // The main file mask, ';'-separated ("*.jpg;*.gif;...").
    virtual std::string MainMask() = 0;
    // The thumbnail window's folder refreshed when it shows Folder.
    virtual void FolderChanged(const std::string& Folder) = 0;
};

// The installed host; nullptr until the main window installs one.
TFilesHost* FilesHost();
void SetFilesHost(TFilesHost* Host);

} // namespace lumeno
