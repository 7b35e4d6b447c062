#include "app/desktop/wallpaper.h"

#include "app/common/file_types.h"
#include "imagelib/pixel_graphic.h"
#include "platform/dialogs.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <sstream>

namespace lumeno {

namespace {

constexpr int kCommandTimeoutMs = 10000;
constexpr const char* kCannotSet = "The wallpaper could not be set on this desktop";
constexpr const char* kCannotRemove = "The wallpaper could not be removed on this desktop";

enum class TMode { None, Centered, Tiled, Stretched };

TMode ModeOf(const TWallpaperValues& values)
{
    if (values.File == kNoWallpaper)
        return TMode::None;
    if (values.Tile == "1")
        return TMode::Tiled;
    return values.Style == "2" ? TMode::Stretched : TMode::Centered;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

} // namespace

// A file name is data, never script: every character that could end the
// literal or the line is escaped.
std::string ScriptStringLiteral(const std::string& Text)
{
    std::string literal = "'";
    for (unsigned char c : Text) {
        if (c == '\\' || c == '\'')
            literal += '\\';
        if (c < 0x20 || c == 0x7f) {
            static const char hex[] = "0123456789abcdef";
            literal += "\\x";
            literal += hex[c >> 4];
            literal += hex[c & 15];
        } else {
            literal += static_cast<char>(c);
        }
    }
    return literal + "'";
}

namespace {

class TCommandBackend : public TWallpaperBackend {
public:
    explicit TCommandBackend(TCommandRunner runner) : run_(std::move(runner)) {}

protected:
    bool Run(const std::string& program, const std::vector<std::string>& arguments)
    {
        return run_(program, arguments).Status == 0;
    }
    TCommandResult Query(const std::string& program, const std::vector<std::string>& arguments)
    {
        return run_(program, arguments);
    }

private:
    TCommandRunner run_;
};

// GNOME, Cinnamon and MATE: one settings schema each.
class TGSettingsBackend : public TCommandBackend {
public:
    TGSettingsBackend(TCommandRunner runner, std::string schema, bool plainPath)
        : TCommandBackend(std::move(runner)), schema_(std::move(schema)), plainPath_(plainPath)
    {
    }
    bool Apply(const TWallpaperValues& values) override
    {
        static const char* const options[] = {"none", "centered", "wallpaper", "stretched"};
        const TMode mode = ModeOf(values);
        const std::string option = options[static_cast<int>(mode)];
        if (plainPath_)
            return Run("gsettings", {"set", schema_, "picture-filename", mode == TMode::None ? "" : values.File}) &&
                   Run("gsettings", {"set", schema_, "picture-options", option});
        if (mode != TMode::None) {
            const std::string uri = QUrl::fromLocalFile(QString::fromStdString(values.File)).toString().toStdString();
            if (!Run("gsettings", {"set", schema_, "picture-uri", uri}))
                return false;
            Run("gsettings", {"set", schema_, "picture-uri-dark", uri}); // only newer desktops have it
        }
        return Run("gsettings", {"set", schema_, "picture-options", option});
    }

private:
    std::string schema_;
    bool plainPath_;
};

// XFCE: every monitor's and workspace's image properties.
class TXfceBackend : public TCommandBackend {
public:
    using TCommandBackend::TCommandBackend;
    bool Apply(const TWallpaperValues& values) override
    {
        const TCommandResult list = Query("xfconf-query", {"-c", "xfce4-desktop", "-l"});
        if (list.Status != 0)
            return false;
        static const char* const styles[] = {"0", "1", "2", "3"};
        const std::string style = styles[static_cast<int>(ModeOf(values))];
        bool any = false;
        std::istringstream in(list.Output);
        for (std::string property; std::getline(in, property);) {
            const auto endsWith = [&](const std::string& tail) {
                return property.size() >= tail.size() && property.compare(property.size() - tail.size(), tail.size(), tail) == 0;
            };
            if (endsWith("/last-image") && ModeOf(values) != TMode::None) {
                if (!Run("xfconf-query", {"-c", "xfce4-desktop", "-p", property, "-s", values.File}))
                    return false;
                any = true;
            } else if (endsWith("/image-style")) {
                if (!Run("xfconf-query", {"-c", "xfce4-desktop", "-p", property, "-s", style}))
                    return false;
                any = true;
            }
        }
        return any;
    }
};

// Plasma: its scripting interface over the session bus.
class TPlasmaBackend : public TCommandBackend {
public:
    using TCommandBackend::TCommandBackend;
    bool Apply(const TWallpaperValues& values) override
    {
        static const char* const fills[] = {"6", "6", "3", "0"};
        const TMode mode = ModeOf(values);
        const std::string uri = mode == TMode::None
                                    ? std::string()
                                    : QUrl::fromLocalFile(QString::fromStdString(values.File)).toEncoded().toStdString();
        const std::string script =
            "var all = desktops(); for (var i = 0; i < all.length; i++) { var d = all[i]; "
            "d.wallpaperPlugin = 'org.kde.image'; d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General']; "
            "d.writeConfig('Image', " + ScriptStringLiteral(uri) + "); d.writeConfig('FillMode', " +
            fills[static_cast<int>(mode)] + "); }";
        return Run("dbus-send", {"--session", "--type=method_call", "--dest=org.kde.plasmashell", "/PlasmaShell",
                                 "org.kde.PlasmaShell.evaluateScript", "string:" + script});
    }
};

// LXQt and LXDE: the desktop's file manager draws the wallpaper.
class TPcmanfmBackend : public TCommandBackend {
public:
    TPcmanfmBackend(TCommandRunner runner, std::string program)
        : TCommandBackend(std::move(runner)), program_(std::move(program))
    {
    }
    bool Apply(const TWallpaperValues& values) override
    {
        static const char* const modes[] = {"color", "center", "tile", "stretch"};
        const TMode mode = ModeOf(values);
        if (mode == TMode::None)
            return Run(program_, {"--wallpaper-mode=color"});
        return Run(program_, {"--set-wallpaper=" + values.File, std::string("--wallpaper-mode=") + modes[static_cast<int>(mode)]});
    }

private:
    std::string program_;
};

bool Contains(const std::string& desktops, const char* name)
{
    std::istringstream in(Upper(desktops));
    for (std::string part; std::getline(in, part, ':');)
        if (part == name)
            return true;
    return false;
}

} // namespace

TWallpaperValues WallpaperValues(TWallpaperCommand Command, const std::string& Path)
{
    switch (Command) {
    case TWallpaperCommand::Centered:
        return {Path, "0", "0"};
    case TWallpaperCommand::Tiled:
        return {Path, "1", "0"};
    case TWallpaperCommand::Stretched:
        return {Path, "0", "2"};
    case TWallpaperCommand::Remove:
        break;
    }
    return {kNoWallpaper, "0", "0"};
}

std::string WallpaperBitmapName(const std::string& Path)
{
    const std::size_t slash = Path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = Path.find('.', start + 1);
    return Path.substr(0, dot == std::string::npos ? std::string::npos : dot) + ".bmp";
}

TCommandResult RunCommand(const std::string& Program, const std::vector<std::string>& Arguments)
{
    const QString program = QStandardPaths::findExecutable(QString::fromStdString(Program));
    if (program.isEmpty())
        return {};
    QStringList arguments;
    for (const std::string& argument : Arguments)
        arguments << QString::fromStdString(argument);
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kCommandTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput().toStdString()};
}

std::unique_ptr<TWallpaperBackend> DesktopWallpaperBackend(const std::string& CurrentDesktop, TCommandRunner Runner)
{
    if (Contains(CurrentDesktop, "GNOME") || Contains(CurrentDesktop, "UNITY") || Contains(CurrentDesktop, "BUDGIE"))
        return std::make_unique<TGSettingsBackend>(std::move(Runner), "org.gnome.desktop.background", false);
    if (Contains(CurrentDesktop, "X-CINNAMON") || Contains(CurrentDesktop, "CINNAMON"))
        return std::make_unique<TGSettingsBackend>(std::move(Runner), "org.cinnamon.desktop.background", false);
    if (Contains(CurrentDesktop, "MATE"))
        return std::make_unique<TGSettingsBackend>(std::move(Runner), "org.mate.background", true);
    if (Contains(CurrentDesktop, "XFCE"))
        return std::make_unique<TXfceBackend>(std::move(Runner));
    if (Contains(CurrentDesktop, "KDE"))
        return std::make_unique<TPlasmaBackend>(std::move(Runner));
    if (Contains(CurrentDesktop, "LXQT"))
        return std::make_unique<TPcmanfmBackend>(std::move(Runner), "pcmanfm-qt");
    if (Contains(CurrentDesktop, "LXDE"))
        return std::make_unique<TPcmanfmBackend>(std::move(Runner), "pcmanfm");
    return nullptr;
}

std::optional<TWallpaperJob> PlanWallpaper(const std::string& File, const std::string& Tile,
                                           const std::string& Style, bool HaveBackend)
{
    if (!HaveBackend) {
        MessageDlg(File == kNoWallpaper ? kCannotRemove : kCannotSet, TMsgDlgType::mtError, mbOK);
        return std::nullopt;
    }
    if (File == kNoWallpaper || FileTypeOf(File) == TFileType::ftBMP)
        return TWallpaperJob{{}, {File, Tile, Style}};
    if (MessageDlg("I need a BMP (bitmap) file to set the wallpaper. Can I create a new bitmap file and store it "
                   "in the current directory to proceed?",
                   TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return std::nullopt;
    const std::string bitmap = WallpaperBitmapName(File);
    if (QFileInfo::exists(QString::fromStdString(bitmap)) &&
        MessageDlg("file " + bitmap + " already exists. Replace it?", TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return std::nullopt;
    return TWallpaperJob{File, {bitmap, Tile, Style}};
}

TWallpaperOutcome RunWallpaperJob(const TWallpaperJob& Job, TWallpaperBackend& Backend)
{
    TWallpaperOutcome outcome;
    if (!Job.Source.empty()) {
        try {
            TPixelGraphic picture;
            picture.SetReadWarningAction(pgwaIgnore);
            picture.LoadFromFile(Job.Source);
            picture.SaveToFile(Job.Values.File);
        } catch (const std::exception& e) {
            outcome.Error = e.what();
            return outcome;
        }
        outcome.Created = true;
    }
    TRegIniFile desktop("Control Panel");
    desktop.WriteString("desktop", "Wallpaper", Job.Values.File);
    desktop.WriteString("desktop", "TileWallpaper", Job.Values.Tile);
    desktop.WriteString("desktop", "WallpaperStyle", Job.Values.Style);
    if (!Backend.Apply(Job.Values))
        outcome.Error = Job.Values.File == kNoWallpaper ? kCannotRemove : kCannotSet;
    return outcome;
}

} // namespace lumeno
