#pragma once
// The program's persistent preferences: string values directly under one
// key of the current user. Numbers, colours and flags are decimal text
// (flags "1"/"0"). Every call opens and closes the key, so any window may
// read or write at any time; nothing is created until the first write.

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace lumeno {

inline constexpr const char* kSettingsKey = "Software\\Orvella\\LumenoTrial";

// The file types of the "FileTypes" flags, in their order.
inline constexpr std::array<const char*, 10> kFileTypeOrder = {"jpg", "gif", "bmp", "ico", "wmf",
                                                               "avi", "pcx", "png", "tga", "tif"};
using TFileTypeFlags = std::array<bool, 10>;

struct TSettingDefault {
    const char* Name;
    const char* Default;
};

// Every setting the program keeps, with the default its readers give.
const std::vector<TSettingDefault>& SettingDefaults();
// The default of a known setting; the folders that default to "c:\" give
// the home folder. Raises lumeno::Exception for an unknown name.
std::string SettingDefault(const std::string& name);

// Runs the settings writes of a window that goes away (from a destructor):
// a failure never leaves it, and only the first failure of a run is shown.
void WriteSettingsOnClose(const std::function<void()>& Writes) noexcept;

class TSettingsStore {
public:
    explicit TSettingsStore(std::string key = kSettingsKey);

    const std::string& Key() const { return key_; }

    // The stored text up to its first NUL, or def when there is none.
    std::string ReadSetting(const std::string& name, const std::string& def) const;
    void WriteSetting(const std::string& name, const std::string& value) const;

    // Reads of known settings with their own defaults. A stored text that is
    // not a number where one is expected gives the default.
    std::string ReadString(const std::string& name) const;
    int ReadInteger(const std::string& name) const;
    long double ReadFloat(const std::string& name) const;
    bool ReadBool(const std::string& name) const;
    // "FileTypes" as a fixed field of ten flags: missing positions count as
    // off and characters past the tenth are ignored.
    TFileTypeFlags ReadFileTypes() const;
    // The deletion choices: only a stored 1 deletes for good (mode 1) and
    // only a stored 0 skips the question, so a damaged value keeps deleted
    // files in the trash and asks first.
    int ReadDeleteMode() const;
    bool ReadConfirmDeletions() const;

    void WriteInteger(const std::string& name, int value) const;
    void WriteFloat(const std::string& name, long double value) const;
    void WriteBool(const std::string& name, bool value) const;
    void WriteFileTypes(const TFileTypeFlags& flags) const;

private:
    std::string key_;
};

} // namespace lumeno
