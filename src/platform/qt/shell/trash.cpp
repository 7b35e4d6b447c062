#include "platform/qt/shell/trash.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cstdio>

namespace lumeno {

bool MoveFileToTrash(const std::string& path)
{
    // Qt puts the trash in the current folder when the user's data folder
    // does not exist yet, so make sure it does.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString inTrash;
    if (!QFile::moveToTrash(QString::fromStdString(path), &inTrash))
        return false;
    if (QDir::isAbsolutePath(inTrash))
        return true;
    // Never leave a file in a stray folder: put it back.
    std::rename(QFile::encodeName(inTrash).constData(), path.c_str());
    return false;
}

} // namespace lumeno
