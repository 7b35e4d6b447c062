#include "platform/qt/registry/reg_ini_file.h"

namespace lumeno {

TRegIniFile::TRegIniFile(const std::string& fileName, HKEY root) : fileName_(fileName), registry_(root) {}

bool TRegIniFile::OpenSection(const std::string& section, bool canCreate)
{
    const std::string key = "\\" + fileName_ + (section.empty() ? "" : "\\" + section);
    return registry_.OpenKey(key, canCreate);
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& def)
{
    if (!OpenSection(section, false) || !registry_.ValueExists(ident))
        return def;
    return registry_.ReadString(ident);
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value)
{
    if (!OpenSection(section, true))
        throw ERegistryException("Cannot create key " + fileName_);
    registry_.WriteString(ident, value);
}

int TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int def)
{
    if (!OpenSection(section, false) || !registry_.ValueExists(ident))
        return def;
    try {
        return registry_.ReadInteger(ident);
    } catch (const ERegistryException&) {
        return def; // not a number
    }
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int value)
{
    WriteString(section, ident, std::to_string(value));
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident, bool def)
{
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value)
{
    WriteInteger(section, ident, value ? 1 : 0);
}

void TRegIniFile::EraseSection(const std::string& section)
{
    registry_.CloseKey();
    registry_.DeleteKey("\\" + fileName_ + "\\" + section);
}

} // namespace lumeno
