#pragma once
// The program's help: its own HTML pages, one per help context, opened in
// the desktop's browser.

#include <string>

namespace lumeno {

inline constexpr const char* kWebSite = "https://lumeno.example.org/";
inline constexpr const char* kMailAddress = "mailto:support@lumeno.example.org";

// The folder of the help pages: $XDG_DATA_HOME/lumeno/help when present,
// else the program's share folder; "" when there is none.
std::string HelpFolder();
// The page of a help context: 0 the contents, -1 the help on help.
std::string HelpPage(int Context);
// Opens the page of a context; false when it is missing or could not open.
bool ShowHelp(int Context);
bool OpenAddress(const std::string& Address);

} // namespace lumeno
