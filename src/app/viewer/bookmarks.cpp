#include "app/viewer/bookmarks.h"

#include "platform/stream.h"

#include <QDir>

#include <algorithm>
#include <cstdlib>
#include <sys/stat.h>

namespace lumeno {

std::string BookmarkFilePath()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/')
        return std::string(data) + "/lumeno/bookmrks.dat";
    return QDir::homePath().toStdString() + "/.local/share/lumeno/bookmrks.dat";
}

std::optional<std::vector<std::string>> ReadBookmarks(const std::string& Path)
{
    struct stat st {};
    if (stat(Path.c_str(), &st) != 0)
        return std::vector<std::string>{};
    std::string text;
    try {
        TFileStream in(Path, TFileMode::fmOpenRead);
        text.resize(std::size_t(in.GetSize()));
        in.ReadBuffer(text.data(), std::int64_t(text.size()));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    std::vector<std::string> folders;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        if (end > pos)
            folders.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return folders;
}

void WriteBookmarks(const std::string& Path, const std::vector<std::string>& Folders)
{
    QDir().mkpath(QString::fromStdString(Path).section('/', 0, -2));
    std::string text;
    for (const std::string& folder : Folders)
        text += folder + '\n';
    TSafeFileStream out(Path);
    out.WriteBuffer(text.data(), std::int64_t(text.size()));
    out.Commit();
}

bool BookmarkableFolder(const std::string& Folder)
{
    return Folder.find_first_of("\r\n") == std::string::npos;
}

} // namespace lumeno
