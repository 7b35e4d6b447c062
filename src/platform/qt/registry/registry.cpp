#include "platform/qt/registry/registry.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <unistd.h>

namespace lumeno {

// Each registry key is one INI section named by its whole path; its values
// are the section's entries. Keeping the hierarchy flat means a value and a
// subkey of the same name never share a QSettings key. Names are escaped so
// that '/' (QSettings' separator) and a leading '@' (reserved: "@" is the
// default value and the root key's section) cannot clash.

namespace {

const QString kRootGroup = QStringLiteral("@");
const QChar kSep = QLatin1Char('\\');

std::mutex folderMutex;
std::string folderOverride;

QString EncodeName(const std::string& name)
{
    QString out;
    for (const QChar c : QString::fromStdString(name)) {
        if (c == QLatin1Char('%'))
            out += QStringLiteral("%25");
        else if (c == QLatin1Char('/'))
            out += QStringLiteral("%2F");
        else if (c == QLatin1Char('@') && out.isEmpty())
            out += QStringLiteral("%40");
        else
            out += c;
    }
    return out;
}

std::string DecodeName(const QString& encoded)
{
    QString out;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        bool ok = false;
        const bool escape = encoded[i] == QLatin1Char('%') && i + 2 < encoded.size();
        const ushort code = escape ? encoded.mid(i + 1, 2).toUShort(&ok, 16) : 0;
        if (ok) {
            out += QChar(code);
            i += 2;
        } else {
            out += encoded[i];
        }
    }
    return out.toStdString();
}

QString EncodeValueName(const std::string& name)
{
    return name.empty() ? kRootGroup : EncodeName(name);
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// True when group is key itself or lies below it, ignoring case.
bool IsAtOrBelow(const QString& group, const QString& key)
{
    if (!group.startsWith(key, Qt::CaseInsensitive))
        return false;
    return group.size() == key.size() || group[key.size()] == kSep;
}

bool ParseInt(const std::string& text, int& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && first != last;
}

} // namespace

void SetRegistryFolder(const std::string& folder)
{
    std::lock_guard lock(folderMutex);
    folderOverride = folder;
}

std::string RegistryFolder()
{
    {
        std::lock_guard lock(folderMutex);
        if (!folderOverride.empty())
            return folderOverride;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/lumeno";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/lumeno";
}

std::string HiveFileName(HKEY root)
{
    return RegistryFolder() + (root == HKEY_CLASSES_ROOT ? "/classes_root.ini" : "/current_user.ini");
}

// ---------------------------------------------------------------------------

class TRegistry::THive {
public:
    explicit THive(const std::string& file)
        : file_(QString::fromStdString(file)),
          settings_(std::make_unique<QSettings>(file_, QSettings::IniFormat))
    {
    }

    QSettings& Settings() { return *settings_; }
    QStringList Groups() { return settings_->childGroups(); }

    // The section of a key path, spelled as already stored where it exists.
    QString GroupOf(const std::string& path)
    {
        const std::vector<std::string> parts = SplitPath(path);
        if (parts.empty())
            return kRootGroup;
        const QStringList groups = Groups();
        QString resolved;
        for (const std::string& part : parts) {
            QString candidate = resolved.isEmpty() ? EncodeName(part) : resolved + kSep + EncodeName(part);
            for (const QString& g : groups) {
                if (IsAtOrBelow(g, candidate)) {
                    candidate = g.left(candidate.size());
                    break;
                }
            }
            resolved = candidate;
        }
        return resolved;
    }

    bool Exists(const QString& group)
    {
        if (group == kRootGroup)
            return true;
        const QStringList groups = Groups();
        return std::any_of(groups.begin(), groups.end(),
                           [&](const QString& g) { return IsAtOrBelow(g, group); });
    }

    // The settings key of a value, spelled as stored when it exists.
    QString ValueKey(const QString& group, const std::string& name)
    {
        const QString encoded = EncodeValueName(name);
        settings_->beginGroup(group);
        const QStringList keys = settings_->childKeys();
        settings_->endGroup();
        for (const QString& k : keys)
            if (k.compare(encoded, Qt::CaseInsensitive) == 0)
                return group + QLatin1Char('/') + k;
        return group + QLatin1Char('/') + encoded;
    }

    // Whether the hive file could be written (or created, with its folders).
    bool CanWrite()
    {
        std::filesystem::path path = file_.toStdString();
        std::error_code ec;
        while (!std::filesystem::exists(path, ec) && path.has_relative_path())
            path = path.parent_path();
        const bool isFile = path == std::filesystem::path(file_.toStdString());
        return ::access(path.c_str(), isFile ? W_OK : W_OK | X_OK) == 0;
    }

    // Writes pending changes; a damaged hive is kept aside before it is
    // replaced.
    void Commit()
    {
        const bool damaged = settings_->status() == QSettings::FormatError || ParsesWithError(file_);
        if (damaged)
            KeepDamagedFile();
        settings_->sync();
        if (settings_->status() == QSettings::AccessError)
            throw ERegistryException("Cannot write the registry file " + file_.toStdString());
        if (damaged) {
            // The parse error hides any later error: read the file afresh.
            settings_ = std::make_unique<QSettings>(file_, QSettings::IniFormat);
            if (settings_->status() != QSettings::NoError)
                throw ERegistryException("Cannot write the registry file " + file_.toStdString());
        }
    }

private:
    // Qt shares one parse of a file among its settings objects and tells
    // only the first of them that the file was damaged: parse a private copy.
    static bool ParsesWithError(const QString& file)
    {
        if (!QFile::exists(file))
            return false;
        QTemporaryDir folder;
        const QString copy = folder.filePath(QStringLiteral("check.ini"));
        if (!folder.isValid() || !QFile::copy(file, copy))
            return false;
        QSettings check(copy, QSettings::IniFormat);
        check.childGroups();
        return check.status() == QSettings::FormatError;
    }

    void KeepDamagedFile()
    {
        QString backup = file_ + QStringLiteral(".corrupt");
        for (int n = 1; QFile::exists(backup); ++n)
            backup = file_ + QStringLiteral(".corrupt.") + QString::number(n);
        QFile::copy(file_, backup);
    }

    QString file_;
    std::unique_ptr<QSettings> settings_;
};

// ---------------------------------------------------------------------------

TRegistry::TRegistry(HKEY root) : root_(root) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    root_ = root;
    hive_.reset();
}

TRegistry::THive& TRegistry::Hive()
{
    if (!hive_)
        hive_ = std::make_unique<THive>(HiveFileName(root_));
    return *hive_;
}

std::string TRegistry::ResolveKey(const std::string& key)
{
    const bool absolute = !key.empty() && key[0] == '\\';
    const std::string path = absolute || currentPath_.empty() ? key : currentPath_ + "\\" + key;
    const QString group = Hive().GroupOf(path);
    return group == kRootGroup ? std::string() : DecodeName(group);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const std::string path = ResolveKey(key);
    if (!Hive().Exists(Hive().GroupOf(path)) && !(canCreate && Hive().CanWrite()))
        return false;
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey()
{
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key)
{
    return Hive().Exists(Hive().GroupOf(ResolveKey(key)));
}

bool TRegistry::DeleteKey(const std::string& key)
{
    const QString group = Hive().GroupOf(ResolveKey(key));
    if (group == kRootGroup)
        return false;
    bool found = false;
    for (const QString& g : Hive().Groups()) {
        if (IsAtOrBelow(g, group)) {
            Hive().Settings().remove(g);
            found = true;
        }
    }
    if (found)
        Hive().Commit();
    return found;
}

std::vector<std::string> TRegistry::GetKeyNames()
{
    const QString group = Hive().GroupOf(currentPath_);
    const QString prefix = group == kRootGroup ? QString() : group + kSep;
    QStringList names;
    for (const QString& g : Hive().Groups()) {
        if (g == kRootGroup || !g.startsWith(prefix, Qt::CaseInsensitive) || g.size() == prefix.size())
            continue;
        const QString name = g.mid(prefix.size()).section(kSep, 0, 0);
        if (!names.contains(name, Qt::CaseInsensitive))
            names.append(name);
    }
    std::vector<std::string> result;
    for (const QString& name : names)
        result.push_back(DecodeName(name));
    return result;
}

std::vector<std::string> TRegistry::GetValueNames()
{
    QSettings& s = Hive().Settings();
    s.beginGroup(Hive().GroupOf(currentPath_));
    const QStringList keys = s.childKeys();
    s.endGroup();
    std::vector<std::string> result;
    for (const QString& k : keys)
        result.push_back(k == kRootGroup ? std::string() : DecodeName(k));
    return result;
}

bool TRegistry::ValueExists(const std::string& name)
{
    return Hive().Settings().contains(Hive().ValueKey(Hive().GroupOf(currentPath_), name));
}

bool TRegistry::DeleteValue(const std::string& name)
{
    const QString key = Hive().ValueKey(Hive().GroupOf(currentPath_), name);
    if (!Hive().Settings().contains(key))
        return false;
    Hive().Settings().remove(key);
    Hive().Commit();
    return true;
}

std::vector<std::uint8_t> TRegistry::ReadData(const std::string& name, bool& found)
{
    const QVariant v = Hive().Settings().value(Hive().ValueKey(Hive().GroupOf(currentPath_), name));
    found = v.isValid();
    QByteArray bytes;
    if (v.typeId() == QMetaType::QByteArray)
        bytes = v.toByteArray();
    else if (v.typeId() == QMetaType::QStringList) // an unquoted hand-written list
        bytes = v.toStringList().join(QLatin1Char(',')).toUtf8();
    else
        bytes = v.toString().toUtf8();
    return {bytes.begin(), bytes.end()};
}

void TRegistry::WriteData(const std::string& name, const std::vector<std::uint8_t>& data, bool binary)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    const QVariant v = binary ? QVariant(bytes) : QVariant(QString::fromUtf8(bytes));
    Hive().Settings().setValue(Hive().ValueKey(Hive().GroupOf(currentPath_), name), v);
    Hive().Commit();
}

int TRegistry::GetDataSize(const std::string& name)
{
    bool found = false;
    const std::vector<std::uint8_t> data = ReadData(name, found);
    return found ? static_cast<int>(data.size()) : -1;
}

std::string TRegistry::ReadString(const std::string& name)
{
    bool found = false;
    const std::vector<std::uint8_t> data = ReadData(name, found);
    return {data.begin(), data.end()};
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    WriteData(name, {value.begin(), value.end()}, false);
}

int TRegistry::ReadInteger(const std::string& name)
{
    bool found = false;
    const std::vector<std::uint8_t> data = ReadData(name, found);
    if (!found)
        throw ERegistryException("Failed to get data for '" + name + "'");
    int value = 0;
    if (!ParseInt(std::string(data.begin(), data.end()), value))
        throw ERegistryException("Invalid data type for '" + name + "'");
    return value;
}

void TRegistry::WriteInteger(const std::string& name, int value)
{
    WriteString(name, std::to_string(value));
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int bufSize)
{
    bool found = false;
    const std::vector<std::uint8_t> data = ReadData(name, found);
    if (!found)
        throw ERegistryException("Failed to get data for '" + name + "'");
    if (static_cast<int>(data.size()) > bufSize)
        throw ERegistryException("Invalid data type for '" + name + "'");
    if (!data.empty())
        std::memcpy(buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int bufSize)
{
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    WriteData(name, {bytes, bytes + std::max(bufSize, 0)}, true);
}

} // namespace lumeno
