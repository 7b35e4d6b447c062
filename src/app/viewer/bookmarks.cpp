#include "app/viewer/bookmarks.h"

#include "platform/stream.h"

#include <QDir>

#include <cstdlib>
#include <fstream>
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
    std::ifstream in(Path, std::ios::binary);
    if (!in || S_ISDIR(st.st_mode))
        return std::nullopt;
    std::vector<std::string> folders;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            folders.push_back(line);
    }
    if (in.bad())
        return std::nullopt;
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

} // namespace lumeno
