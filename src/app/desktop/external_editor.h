#pragma once
// "Edit with External Editor": the file goes to the editor the user set for
// its type, as the program's one argument (full path, spaces and all).

#include <functional>
#include <string>
#include <vector>

namespace lumeno {

class TSettingsStore;

// Starts Program with Arguments, detached; true when it started.
using TProgramStarter = std::function<bool(const std::string& Program, const std::vector<std::string>& Arguments)>;
bool StartDetached(const std::string& Program, const std::vector<std::string>& Arguments);

// The program and arguments that open Path with Editor: an existing program
// gets the path alone; any other text is split as a command line first.
std::vector<std::string> EditorCommandLine(const std::string& Editor, const std::string& Path);

// Opens Path in its type's editor. Unknown types, an editor not set (then
// ShowPreferences runs) and a start that fails are reported; true when the
// editor started.
bool EditWithExternalEditor(const std::string& Path, const TSettingsStore& Settings, const TProgramStarter& Start,
                            const std::function<void()>& ShowPreferences);

} // namespace lumeno
