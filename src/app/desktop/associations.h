#pragma once
// Lumeno as the "open" handler of image types: the association keys under
// the classes root as the program has always written them, and what the
// Linux desktop reads: a desktop entry whose MimeType list grows, our entry
// first in the defaults of mimeapps.list (every other line kept), our icon.

#include "platform/exception.h"

#include <string>
#include <vector>

namespace lumeno {

class TRegistry;

LUMENO_DECLARE_EXCEPTION(ERegistryError, Exception);

// Opens Key of the classes root, creating it when needed; raises
// ERegistryError when it can be neither opened nor created.
void OpenOrCreateKey(TRegistry& Registry, const std::string& Key);
void RegisterFileType(const std::string& ExtensionKey, const std::string& TypeName, const std::string& Description,
                      const std::string& Command, const std::string& Verb);
void RegisterDdeExec(const std::string& TypeName, const std::string& Verb, const std::string& Topic,
                     const std::string& Macro, const std::string& Application);
// Command = program path + " " + Arguments (empty arguments: "%1" quoted).
void RegisterFileCommand(const std::string& ExtensionKey, const std::string& TypeName,
                         const std::string& Description, const std::string& Arguments, const std::string& Verb);
void RegisterDdeCommand(const std::string& TypeName, const std::string& Verb, const std::string& Macro);
void RegisterDefaultIcon(const std::string& TypeName, const std::string& ProgramPath, int IconIndex);

// The program as the first word of a desktop entry's Exec line.
std::string DesktopExecProgram(const std::string& ProgramPath);
// The desktop entry's text: the program in Exec, MimeTypes listed.
std::string DesktopEntryText(const std::string& ProgramPath, const std::vector<std::string>& MimeTypes);
// The MimeType list of an existing entry's text.
std::vector<std::string> DesktopEntryMimeTypes(const std::string& Text);
// mimeapps.list with DesktopId first for each MIME type under
// [Default Applications]; every other line and entry is kept.
std::string MimeAppsWithDefaults(const std::string& Text, const std::vector<std::string>& MimeTypes,
                                 const std::string& DesktopId);
// MIME type names of an extension ("JPG" -> image/jpeg).
std::vector<std::string> MimeTypesOfExtension(const std::string& Extension);

inline constexpr const char* kDesktopId = "lumeno.desktop";

// Registers one type (three upper-case letters, "JPG") with the program at
// ProgramPath: the classes-root keys, then the desktop entry, the defaults
// and the icon. Files that cannot be written raise ERegistryError.
void RegisterImageType(const std::string& Extension, const std::string& ProgramPath);

} // namespace lumeno
