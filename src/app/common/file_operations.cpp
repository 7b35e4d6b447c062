#include "app/common/file_operations.h"

#include "controls/shell/file_utils.h"
#include "platform/absolute_path.h"
#include "platform/move_no_replace.h"

#include <cerrno>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace lumeno {

std::string JoinPath(const std::string& Folder, const std::string& Name)
{
    if (Folder.empty() || Folder.back() == '/')
        return Folder + Name;
    return Folder + "/" + Name;
}

std::string FolderOf(const std::string& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : Path.substr(0, slash);
}

std::string NameOf(const std::string& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

bool IsPlainName(const std::string& Name)
{
    return !Name.empty() && Name != "." && Name != ".." && Name.find('/') == std::string::npos &&
           Name.find('\0') == std::string::npos;
}

bool RenameInFolder(const std::string& Folder, const std::string& OldName, const std::string& NewName)
{
    if (!IsPlainName(NewName) || !IsPlainName(OldName))
        return false;
    if (NewName == OldName)
        return true;
    return RenameNoReplace(JoinPath(Folder, OldName), JoinPath(Folder, NewName)) == 0;
}

bool CreateFolderIn(const std::string& Parent, const std::string& Name)
{
    return IsAbsolutePath(Parent) && IsPlainName(Name) && ::mkdir(JoinPath(Parent, Name).c_str(), 0777) == 0;
}

bool RemoveEmptyFolder(const std::string& Folder) { return IsAbsolutePath(Folder) && ::rmdir(Folder.c_str()) == 0; }

bool RemoveFile(const std::string& Path) { return IsAbsolutePath(Path) && ::unlink(Path.c_str()) == 0; }

bool DosAttrsSupported(const std::string& Path)
{
    return ::getxattr(Path.c_str(), "user.lumeno.dosattr", nullptr, 0) >= 0 || errno != ENOTSUP;
}

TAttrChoice AttrChoiceOf(int Attributes)
{
    if (Attributes < 0)
        return {};
    return {(Attributes & faReadOnly) != 0, (Attributes & faArchive) != 0, (Attributes & faSysFile) != 0,
            (Attributes & faHidden) != 0};
}

int ApplyAttrChoice(int Attributes, const TAttrChoice& Choice)
{
    const auto set = [&](int bit, bool on) { Attributes = on ? (Attributes | bit) : (Attributes & ~bit); };
    set(faReadOnly, Choice.ReadOnly);
    set(faArchive, Choice.Archive);
    set(faSysFile, Choice.System);
    set(faHidden, Choice.Hidden);
    return Attributes;
}

} // namespace lumeno
