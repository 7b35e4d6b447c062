#pragma once
// What the album and the web wizard use from other windows of the program:
// the main window's file list, the full-image window, the image properties
// dialog and the EXIF date. A command whose window is not there stays
// disabled; the program installs the real host at start-up.

#include <functional>
#include <string>
#include <vector>

namespace lumeno {

// A picture's EXIF date and time, "" without one. It reads the file and
// touches nothing else, so the preview's workers call it.
using TExifDateReader = std::function<std::string(const std::string& path)>;

class TAlbumHost {
public:
    virtual ~TAlbumHost() = default;

    virtual bool HasFileList() const { return false; }
    // Full paths of the main window's file list, in its order.
    virtual std::vector<std::string> FileListPaths() const { return {}; }

    virtual bool CanViewImage() const { return false; }
    // The full-image window for the path, turned by the quarter turns.
    virtual void ViewImage(const std::string& /*path*/, int /*rotation*/) {}

    virtual bool CanShowProperties() const { return false; }
    virtual void ShowProperties(const std::string& /*path*/) {}

    // Empty: no picture has a date.
    virtual TExifDateReader ExifDateReader() const { return {}; }
};

// The installed host; until one is installed, one that reaches no window.
TAlbumHost& AlbumHost();
// The caller keeps ownership; nullptr uninstalls.
void SetAlbumHost(TAlbumHost* host);

} // namespace lumeno
