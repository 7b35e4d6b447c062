#pragma once
// The program's HTML help pages stand in for the help file's contexts.

#include <string>

namespace lumeno {

// The page of a help context: help/<context>.html in the program's data
// folder.
std::string HelpPagePath(int Context);
// Opens that page with the desktop's browser.
void ShowHelpContext(int Context);

} // namespace lumeno
