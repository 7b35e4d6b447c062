#pragma once
// The registry read and written like an INI file: the file name is a key
// path under the root, each section is a subkey of it, and the empty section
// is the key itself. Numbers and booleans are stored as decimal text
// ("1"/"0"); a stored value that is not a number reads as the default.
// Reads never create anything; the key appears with its first written value.

#include "platform/qt/registry/registry.h"

#include <string>

namespace lumeno {

class TRegIniFile {
public:
    explicit TRegIniFile(const std::string& fileName, HKEY root = HKEY_CURRENT_USER);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def);
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);
    int ReadInteger(const std::string& section, const std::string& ident, int def);
    void WriteInteger(const std::string& section, const std::string& ident, int value);
    bool ReadBool(const std::string& section, const std::string& ident, bool def);
    void WriteBool(const std::string& section, const std::string& ident, bool value);
    // Deletes the section's subkey with everything below it.
    void EraseSection(const std::string& section);

private:
    bool OpenSection(const std::string& section, bool canCreate);

    std::string fileName_;
    TRegistry registry_;
};

} // namespace lumeno
