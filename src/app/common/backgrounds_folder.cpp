#include "app/common/backgrounds_folder.h"

#include <QDir>
#include <QStandardPaths>

namespace lumeno {

QString BackgroundsFolder()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/lumeno/Backgrounds");
    return QDir(folder).exists() ? folder : QString();
}

} // namespace lumeno
