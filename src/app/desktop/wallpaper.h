#pragma once
// Setting and removing the desktop wallpaper: the values are kept under
// "Control Panel\desktop" as the program always kept them, then the running
// desktop's own setting is changed through its command-line tools (argument
// lists, never a shell).

#include <functional>
#include <memory>
#include <optional>
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

// A file name as a quoted script string literal.
std::string ScriptStringLiteral(const std::string& Text);

// What a wallpaper command does once the user has answered: Source, when
// set, is converted to the bitmap Values.File first.
struct TWallpaperJob {
    std::string Source;
    TWallpaperValues Values;
};

// Main thread: without a backend the user is told so before anything is
// written; a picture other than a BMP is converted only after the user
// agrees, and an existing bitmap is not replaced without asking.
std::optional<TWallpaperJob> PlanWallpaper(const std::string& File, const std::string& Tile,
                                           const std::string& Style, bool HaveBackend);

struct TWallpaperOutcome {
    std::string Error; // empty: the wallpaper was set
    bool Created = false; // a bitmap file was written
};
// Any thread, no dialogs: converts, stores the values, lets the backend
// apply them.
TWallpaperOutcome RunWallpaperJob(const TWallpaperJob& Job, TWallpaperBackend& Backend);

} // namespace lumeno
