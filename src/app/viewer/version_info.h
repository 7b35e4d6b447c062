#pragma once
// The program file's version values, as the build wrote them.

#include <optional>
#include <string>

namespace lumeno {

// "FileVersion" or "LegalCopyright"; nothing for a value not recorded.
std::optional<std::string> VersionValue(const std::string& Name);

// The about box's version text: "Version " + the file version, or "Lumeno"
// when it is missing or too short to be one. The platform's query counts the
// closing NUL in the length, so "7.8.0.0" still passes.
std::string VersionLabel(const std::optional<std::string>& FileVersion);
// The copyright line, or the built-in one when it is missing or too short.
std::string CopyrightLabel(const std::optional<std::string>& Copyright);

} // namespace lumeno
