#include "app/common/settings_store.h"

#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/qt/registry/reg_ini_file.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <charconv>
#include <cstdlib>

namespace lumeno {

namespace {

template <typename T> bool ParseNumber(const std::string& text, T& value)
{
    const char* first = text.data() + (!text.empty() && text[0] == '+');
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && first != last;
}

bool IsStartFolder(const std::string& name)
{
    return name == "Directory" || name == "SourceDir";
}

} // namespace

const std::vector<TSettingDefault>& SettingDefaults()
{
    static const std::vector<TSettingDefault> defaults = {
        {"Left", "0"},
        {"Top", "0"},
        {"Width", "620"},
        {"Height", "460"},
        {"LeftWidth", "180"},
        {"LeftHeight", "120"},
        {"Seconds", "4"},
        {"Directory", "c:\\"},
        {"BG Color", "-1"},
        {"Deletions", "0"},
        {"Confirm Deletions", "1"},
        {"FileTypes", "1111111111"},
        {"JPG Editor", ""},
        {"GIF Editor", ""},
        {"BMP Editor", ""},
        {"ICO Editor", ""},
        {"WMF Editor", ""},
        {"AVI Editor", ""},
        {"PCX Editor", ""},
        {"PNG Editor", ""},
        {"TGA Editor", ""},
        {"TIF Editor", ""},
        {"SourceDir", "C:\\"},
        {"AcquireLeft", "50"},
        {"AcquireTop", "50"},
        {"AcquireWidth", "600"},
        {"AcquireHeight", "400"},
        {"RAOuter", "-0.02"},
        {"RAMiddle", "0"},
        {"RAInner", "0"},
        {"RAScaling", "1"},
        {"PACols", "2"},
        {"PARows", "3"},
        {"PABorder", "100"},
        {"PACaption", "0"},
        {"BorderEffect", "0"},
        {"CaptionPlacement", "0"},
        {"PAFrames", "0"},
        {"TransparentBackground", "0"},
        {"CaptionColor", "0"},
        {"PAQuality", "1"},
        {"EmbeddedPosition", "3"},
    };
    return defaults;
}

std::string SettingDefault(const std::string& name)
{
    const auto& defaults = SettingDefaults();
    const auto it = std::find_if(defaults.begin(), defaults.end(),
                                 [&](const TSettingDefault& d) { return name == d.Name; });
    if (it == defaults.end())
        throw Exception("Unknown setting \"" + name + "\"");
    if (IsStartFolder(name)) {
        const char* home = std::getenv("HOME");
        return home && *home ? home : "/";
    }
    return it->Default;
}

TSettingsStore::TSettingsStore(std::string key) : key_(std::move(key)) {}

std::string TSettingsStore::ReadSetting(const std::string& name, const std::string& def) const
{
    const std::string value = TRegIniFile(key_).ReadString("", name, def);
    return value.substr(0, value.find('\0'));
}

void TSettingsStore::WriteSetting(const std::string& name, const std::string& value) const
{
    TRegIniFile(key_).WriteString("", name, value);
}

std::string TSettingsStore::ReadString(const std::string& name) const
{
    return ReadSetting(name, SettingDefault(name));
}

int TSettingsStore::ReadInteger(const std::string& name) const
{
    const std::string def = SettingDefault(name);
    int value = 0;
    if (ParseNumber(ReadSetting(name, def), value) || ParseNumber(def, value))
        return value;
    return 0;
}

long double TSettingsStore::ReadFloat(const std::string& name) const
{
    const std::string def = SettingDefault(name);
    long double value = 0;
    if (ParseNumber(ReadSetting(name, def), value) || ParseNumber(def, value))
        return value;
    return 0;
}

bool TSettingsStore::ReadBool(const std::string& name) const
{
    return ReadInteger(name) != 0;
}

TFileTypeFlags TSettingsStore::ReadFileTypes() const
{
    const std::string text = ReadString("FileTypes");
    TFileTypeFlags flags{};
    for (std::size_t i = 0; i < flags.size() && i < text.size(); ++i)
        flags[i] = text[i] == '1';
    return flags;
}

int TSettingsStore::ReadDeleteMode() const
{
    return ReadInteger("Deletions") == 1 ? 1 : 0;
}

bool TSettingsStore::ReadConfirmDeletions() const
{
    return ReadInteger("Confirm Deletions") != 0;
}

void TSettingsStore::WriteInteger(const std::string& name, int value) const
{
    WriteSetting(name, std::to_string(value));
}

void TSettingsStore::WriteFloat(const std::string& name, long double value) const
{
    // Fifteen significant digits keep typed-in values such as -0.02 as typed.
    char text[64];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    WriteSetting(name, std::string(text, ec == std::errc() ? end : text));
}

void TSettingsStore::WriteBool(const std::string& name, bool value) const
{
    WriteSetting(name, value ? "1" : "0");
}

void TSettingsStore::WriteFileTypes(const TFileTypeFlags& flags) const
{
    std::string text;
    for (const bool on : flags)
        text += on ? '1' : '0';
    WriteSetting("FileTypes", text);
}

void WriteSettingsOnClose(const std::function<void()>& Writes) noexcept
{
    static std::atomic<bool> shown = false;
    try {
        Writes();
    } catch (const std::exception& e) {
        if (shown.exchange(true))
            return;
        try {
            MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        } catch (...) {
            std::fprintf(stderr, "lumeno: %s\n", e.what());
        }
    }
}

} // namespace lumeno
