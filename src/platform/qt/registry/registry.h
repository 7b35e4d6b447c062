#pragma once
// The registry of the current user and the classes root, kept in INI hive
// files (one per root) under $XDG_CONFIG_HOME/lumeno/. Key paths use
// backslashes ("Software\Orvella\LumenoTrial"); key and value names compare
// without regard to case, and the spelling first written is kept. The empty
// value name is the key's default value.
//
// A key exists while it or one of its subkeys holds a value: opening a key
// with the create flag succeeds when its hive can be written, and the key
// appears with its first value. Reading never creates a hive file. A hive
// file that cannot be parsed reads as far as it goes; before the first write
// to it, the damaged file is kept beside it as "<hive>.corrupt".

#include "platform/exception.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(ERegistryException, Exception);

enum HKEY : std::uint32_t { HKEY_CLASSES_ROOT = 0x80000000u, HKEY_CURRENT_USER = 0x80000001u };

// Puts the hive files in folder (for tests); an empty folder restores the
// default, $XDG_CONFIG_HOME/lumeno (or ~/.config/lumeno).
void SetRegistryFolder(const std::string& folder);
std::string RegistryFolder();
// The hive file that holds root.
std::string HiveFileName(HKEY root);

class TRegistry {
public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    // Changing the root closes the current key.
    void SetRootKey(HKEY root);
    // The open key's path without a leading backslash; empty for the root.
    const std::string& CurrentPath() const { return currentPath_; }

    // A key starting with "\" is absolute, any other is relative to the open
    // key. Returns false when the key does not exist and canCreate is off, or
    // when it would have to be created and the hive cannot be written.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    bool KeyExists(const std::string& key);
    // Deletes the key with all its subkeys; false when there was none.
    bool DeleteKey(const std::string& key);
    // Names of the open key's direct subkeys and of its values.
    std::vector<std::string> GetKeyNames();
    std::vector<std::string> GetValueNames();

    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    // The size in bytes of a value's data; -1 when there is no such value.
    int GetDataSize(const std::string& name);

    // An absent value reads as "".
    std::string ReadString(const std::string& name);
    void WriteString(const std::string& name, const std::string& value);
    // Raises ERegistryException when the value is absent or not a decimal
    // 32-bit number.
    int ReadInteger(const std::string& name);
    void WriteInteger(const std::string& name, int value);
    // Copies the value's data into buffer and returns its size; raises
    // ERegistryException when the value is absent or larger than bufSize.
    int ReadBinaryData(const std::string& name, void* buffer, int bufSize);
    void WriteBinaryData(const std::string& name, const void* buffer, int bufSize);

private:
    class THive;

    THive& Hive();
    std::string ResolveKey(const std::string& key);
    std::vector<std::uint8_t> ReadData(const std::string& name, bool& found);
    void WriteData(const std::string& name, const std::vector<std::uint8_t>& data, bool binary);

    HKEY root_;
    std::string currentPath_;
    std::unique_ptr<THive> hive_;
};

} // namespace lumeno
