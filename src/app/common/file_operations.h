#pragma once
// The small file-management operations behind the rename, attribute and
// folder dialogs, free of widgets. Nothing here replaces an existing file.

#include <string>

namespace lumeno {

// Folder + "/" + name, with no doubled slash.
std::string JoinPath(const std::string& Folder, const std::string& Name);
// The folder part of a path ("" for a bare name); the root stays "/".
std::string FolderOf(const std::string& Path);
// The file-name part of a path.
std::string NameOf(const std::string& Path);

// A usable file or folder name: not empty, no '/', not "." or "..".
bool IsPlainName(const std::string& Name);

// Every routine here that changes a file or folder refuses a relative path.

// Renames Folder/OldName to Folder/NewName (the same name changes nothing);
// false when the new name is not a plain name, exists already, or the
// rename fails.
bool RenameInFolder(const std::string& Folder, const std::string& OldName, const std::string& NewName);

// Creates Parent/Name; false when the name is not plain or the folder cannot
// be made (it exists, or the parent is read-only).
bool CreateFolderIn(const std::string& Parent, const std::string& Name);

// Removes an empty folder; false for one with anything in it.
bool RemoveEmptyFolder(const std::string& Folder);

// Deletes a file for good (never a folder); false when it stays.
bool RemoveFile(const std::string& Path);

// The four attribute boxes of the attribute dialog.
// True when the file's file system keeps archive and system.
bool DosAttrsSupported(const std::string& Path);

struct TAttrChoice {
    bool ReadOnly = false;
    bool Archive = false;
    bool System = false;
    bool Hidden = false;
};
TAttrChoice AttrChoiceOf(int Attributes);
// The attribute word with exactly the four bits set or cleared as chosen.
int ApplyAttrChoice(int Attributes, const TAttrChoice& Choice);

} // namespace lumeno
