#include "app/viewer/bookmarks.h"

#include "platform/stream.h"

#include <QDir>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

namespace lumeno {

namespace {

std::string TooLarge(const std::string& Path)
{
    return "The bookmark file " + Path + " is larger than " + std::to_string(kMaxBookmarkFileSize >> 20) +
           " MB";
}

} // namespace

std::string BookmarkFilePath()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/')
        return std::string(data) + "/lumeno/bookmrks.dat";
    return QDir::homePath().toStdString() + "/.local/share/lumeno/bookmrks.dat";
}

std::vector<std::string> ReadBookmarks(const std::string& Path)
{
    struct stat st {};
    if (stat(Path.c_str(), &st) != 0)
        return {};
    std::string text;
    std::int64_t size = 0;
    try {
        TFileStream in(Path, TFileMode::fmOpenRead);
        size = in.GetSize();
        if (size <= kMaxBookmarkFileSize) {
            text.resize(std::size_t(size));
            in.ReadBuffer(text.data(), size);
        }
    } catch (const std::exception&) {
        throw EBookmarkFile("The bookmark file " + Path + " cannot be read");
    }
    if (size > kMaxBookmarkFileSize)
        throw EBookmarkFile(TooLarge(Path));
    std::vector<std::string> folders;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        if (end > pos)
            folders.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return folders;
}

std::vector<std::string> ReadBookmarksOrNone(const std::string& Path)
{
    try {
        return ReadBookmarks(Path);
    } catch (const EBookmarkFile&) {
        return {};
    }
}

void WriteBookmarks(const std::string& Path, const std::vector<std::string>& Folders)
{
    std::string text;
    for (const std::string& folder : Folders)
        text += folder + '\n';
    // A file the reader would refuse would empty the menu from then on.
    if (std::int64_t(text.size()) > kMaxBookmarkFileSize)
        throw EBookmarkFile(TooLarge(Path) + "; the bookmarks were not changed");
    QDir().mkpath(QString::fromStdString(Path).section('/', 0, -2));
    TSafeFileStream out(Path);
    out.WriteBuffer(text.data(), std::int64_t(text.size()));
    out.Commit();
}

bool BookmarkableFolder(const std::string& Folder)
{
    return Folder.find_first_of("\r\n") == std::string::npos;
}

} // namespace lumeno
