#include "app/desktop/associations.h"

#include "app/desktop/dde_handler.h"
#include "platform/qt/registry/registry.h"
#include "platform/stream.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <sstream>

namespace lumeno {

namespace {

constexpr const char* kDefaultsSection = "[Default Applications]";

std::string CannotCreateKey(const std::string& key)
{
    return "Cannot create key " + key +
           ", the user account may not have the required rights to create registry keys under HKEY_CLASSES_ROOT.";
}

// A key appears with its first value, so a value that cannot be written is a
// key that cannot be created.
void SetDefault(TRegistry& registry, const std::string& key, const std::string& value)
{
    OpenOrCreateKey(registry, key);
    try {
        registry.WriteString("", value);
    } catch (const ERegistryException&) {
        throw ERegistryError(CannotCreateKey(key));
    }
    registry.CloseKey();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ';');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

std::string JoinList(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += item + ";";
    return text;
}

// A missing file reads as empty; one that exists but cannot be read stops
// the registration, since writing it back would drop the user's lines.
std::string ReadText(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw ERegistryError("Cannot read " + path.toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ERegistryError("Cannot read " + path.toStdString());
    return bytes.toStdString();
}

void WriteText(const QString& path, const std::string& text)
{
    try {
        QDir().mkpath(QFileInfo(path).absolutePath());
        TSafeFileStream stream(path.toStdString());
        stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
        stream.Commit();
    } catch (const std::exception& e) {
        throw ERegistryError("Cannot write " + path.toStdString() + ": " + e.what());
    }
}

// A plain picture-frame icon, so the desktop has something of ours to show.
void WriteIcon(const QString& path)
{
    if (QFile::exists(path))
        return;
    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(140, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(2, 6, 44, 36, 5, 5);
    painter.setBrush(QColor(254, 255, 230));
    painter.drawRect(7, 11, 34, 26);
    painter.setBrush(QColor(40, 120, 40));
    painter.drawPolygon(QPolygon({QPoint(7, 37), QPoint(20, 20), QPoint(30, 31), QPoint(35, 26), QPoint(41, 37)}));
    painter.end();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!icon.save(path, "PNG"))
        throw ERegistryError("Cannot write " + path.toStdString());
}

// $XDG_DATA_HOME or $XDG_CONFIG_HOME, as the desktop reads them.
QString XdgFolder(const char* variable, QStandardPaths::StandardLocation fallback)
{
    const QString folder = qEnvironmentVariable(variable);
    return folder.isEmpty() ? QStandardPaths::writableLocation(fallback) : folder;
}

} // namespace

void OpenOrCreateKey(TRegistry& Registry, const std::string& Key)
{
    if (!Registry.OpenKey(Key, true))
        throw ERegistryError(CannotCreateKey(Key));
}

void RegisterFileType(const std::string& ExtensionKey, const std::string& TypeName, const std::string& Description,
                      const std::string& Command, const std::string& Verb)
{
    TRegistry registry(HKEY_CLASSES_ROOT);
    SetDefault(registry, ExtensionKey, TypeName);
    SetDefault(registry, TypeName, Description);
    SetDefault(registry, TypeName + "\\shell\\" + Verb + "\\command", Command);
}

void RegisterDdeExec(const std::string& TypeName, const std::string& Verb, const std::string& Topic,
                     const std::string& Macro, const std::string& Application)
{
    TRegistry registry(HKEY_CLASSES_ROOT);
    const std::string key = TypeName + "\\shell\\" + Verb + "\\ddeexec";
    SetDefault(registry, key, Macro);
    SetDefault(registry, key + "\\Application", Application);
    SetDefault(registry, key + "\\topic", Topic);
}

void RegisterFileCommand(const std::string& ExtensionKey, const std::string& TypeName,
                         const std::string& Description, const std::string& Arguments, const std::string& Verb)
{
    const std::string arguments = Arguments.empty() ? "\"%1\"" : Arguments;
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    RegisterFileType(ExtensionKey, TypeName, Description, program + " " + arguments, Verb);
}

void RegisterDdeCommand(const std::string& TypeName, const std::string& Verb, const std::string& Macro)
{
    RegisterDdeExec(TypeName, Verb, TDDEHandler::GetTopicName(), Macro,
                    QCoreApplication::applicationName().toStdString());
}

void RegisterDefaultIcon(const std::string& TypeName, const std::string& ProgramPath, int IconIndex)
{
    TRegistry registry(HKEY_CLASSES_ROOT);
    SetDefault(registry, TypeName + "\\DefaultIcon", ProgramPath + "," + std::to_string(IconIndex));
}

// The desktop-entry rule: an argument is quoted only when it holds a
// reserved character (quoted ones confuse xdg-mime's program lookup);
// inside quotes " ` $ \ take a backslash, and the value's own escaping
// doubles every backslash; % is always doubled.
std::string DesktopExecProgram(const std::string& ProgramPath)
{
    const bool quote = ProgramPath.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
    std::string text;
    for (char c : ProgramPath) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            text += "\\\\";
        if (c == '\n')
            text += "\\n";
        else if (c == '\\')
            text += "\\\\";
        else
            text += c;
        if (c == '%')
            text += '%';
    }
    return quote ? "\"" + text + "\"" : text;
}

std::string DesktopEntryText(const std::string& ProgramPath, const std::vector<std::string>& MimeTypes)
{
    return "[Desktop Entry]\nType=Application\nName=Lumeno\nComment=Image viewer, organiser and editor\n"
           "Exec=" + DesktopExecProgram(ProgramPath) + " %f\nIcon=lumeno\nTerminal=false\n"
           "Categories=Graphics;Viewer;\nMimeType=" + JoinList(MimeTypes) + "\n";
}

std::vector<std::string> DesktopEntryMimeTypes(const std::string& Text)
{
    for (const std::string& line : Lines(Text))
        if (line.rfind("MimeType=", 0) == 0)
            return SplitList(line.substr(9));
    return {};
}

std::string MimeAppsWithDefaults(const std::string& Text, const std::vector<std::string>& MimeTypes,
                                 const std::string& DesktopId)
{
    std::vector<std::string> lines = Lines(Text);
    auto section = std::find(lines.begin(), lines.end(), kDefaultsSection);
    if (section == lines.end()) {
        if (!lines.empty() && !lines.back().empty())
            lines.emplace_back();
        lines.emplace_back(kDefaultsSection);
        section = lines.end() - 1;
    }
    const auto sectionEnd = [&] {
        return std::find_if(section + 1, lines.end(), [](const std::string& l) { return !l.empty() && l[0] == '['; });
    };
    for (const std::string& mime : MimeTypes) {
        const std::string key = mime + "=";
        const auto end = sectionEnd();
        const auto found =
            std::find_if(section + 1, end, [&](const std::string& l) { return l.rfind(key, 0) == 0; });
        std::vector<std::string> apps{DesktopId};
        if (found != end) {
            for (const std::string& app : SplitList(found->substr(key.size())))
                if (app != DesktopId)
                    apps.push_back(app);
            *found = key + JoinList(apps);
        } else {
            const auto at = lines.insert(end, key + JoinList(apps));
            section = std::find(lines.begin(), at, kDefaultsSection);
        }
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::vector<std::string> MimeTypesOfExtension(const std::string& Extension)
{
    const QList<QMimeType> types =
        QMimeDatabase().mimeTypesForFileName("x." + QString::fromStdString(Extension).toLower());
    std::vector<std::string> names;
    for (const QMimeType& type : types)
        names.push_back(type.name().toStdString());
    return names;
}

void RegisterImageType(const std::string& Extension, const std::string& ProgramPath)
{
    // Both desktop files are read before anything is written, so one that
    // cannot be read changes nothing.
    const QString dataHome = XdgFolder("XDG_DATA_HOME", QStandardPaths::GenericDataLocation);
    const QString configHome = XdgFolder("XDG_CONFIG_HOME", QStandardPaths::GenericConfigLocation);
    const QString entryPath = dataHome + "/applications/" + kDesktopId;
    const QString mimeApps = configHome + "/mimeapps.list";
    const std::string entryText = ReadText(entryPath);
    const std::string mimeAppsText = ReadText(mimeApps);

    const std::string typeName = Extension + "File";
    RegisterFileCommand("." + Extension, typeName, Extension + " File", "\"%1\"", "open");
    RegisterDdeCommand(typeName, "open", "[Open(\"%1\")]");
    RegisterDefaultIcon(typeName, ProgramPath, 0);

    const std::vector<std::string> added = MimeTypesOfExtension(Extension);
    std::vector<std::string> mimeTypes = DesktopEntryMimeTypes(entryText);
    for (const std::string& mime : added)
        if (std::find(mimeTypes.begin(), mimeTypes.end(), mime) == mimeTypes.end())
            mimeTypes.push_back(mime);
    WriteText(entryPath, DesktopEntryText(ProgramPath, mimeTypes));
    WriteText(mimeApps, MimeAppsWithDefaults(mimeAppsText, added, kDesktopId));
    WriteIcon(dataHome + "/icons/hicolor/48x48/apps/lumeno.png");
    const QString updater = QStandardPaths::findExecutable("update-desktop-database");
    if (!updater.isEmpty())
        QProcess::startDetached(updater, {dataHome + "/applications"});
}

} // namespace lumeno
