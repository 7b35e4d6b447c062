#pragma once
// Setting and removing the desktop wallpaper: the values are kept under
// "Control Panel\desktop" as the program always kept them, then the running
// desktop's own setting is changed through its command-line tools (argument
// lists, never a shell).

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

enum class TWallpaperCommand { Centered, Tiled, Stretched, Remove };

struct TWallpaperValues {
    std::string File;
    std::string Tile;  // "TileWallpaper"
    std::string Style; // "WallpaperStyle"
};

inline constexpr const char* kNoWallpaper = "(None)";

TWallpaperValues WallpaperValues(TWallpaperCommand Command, const std::string& Path);

// Folder + the name cut at its first '.' (a leading dot ignored) + ".bmp".
std::string WallpaperBitmapName(const std::string& Path);

// Runs a program with arguments; returns its exit status (-1: not started)
// and what it wrote to standard output.
struct TCommandResult {
    int Status = -1;
    std::string Output;
};
using TCommandRunner = std::function<TCommandResult(const std::string& Program, const std::vector<std::string>& Arguments)>;
// The real runner (waits up to 10 s).
TCommandResult RunCommand(const std::string& Program, const std::vector<std::string>& Arguments);

class TWallpaperBackend {
public:
    virtual ~TWallpaperBackend() = default;
    // True when the desktop took the wallpaper.
    virtual bool Apply(const TWallpaperValues& Values) = 0;
};

// The backend for $XDG_CURRENT_DESKTOP (GNOME, Cinnamon, MATE, XFCE, KDE,
// LXQt, LXDE); nullptr for any other desktop.
std::unique_ptr<TWallpaperBackend> DesktopWallpaperBackend(const std::string& CurrentDesktop, TCommandRunner Runner);

// The main window's "Set As Wallpaper" commands. A picture other than a BMP
// is converted after the user agrees (an existing bitmap is not replaced
// without asking); then the values are stored and the backend applies them.
// Every failure is shown; returns true when the wallpaper was set. Created
// is set when a bitmap file was written (the file list shows it).
bool SetWallpaper(const std::string& File, const std::string& Tile, const std::string& Style,
                  TWallpaperBackend* Backend, bool* Created = nullptr);

} // namespace lumeno
